// The Privacy Manager: its page, sub-pages and the cleanup.
#include "Unit1.h"

void TForm1::BindPrivacyHandlers()
{
    // No handler of this page is built yet.
}

void TForm1::ShowPrivacyPage()
{
    // Browser detection and the Netscape/Mozilla faces come with the cleanup;
    // the page itself shows as stored.
    HideAllPages();
    plPrivacyButtons->SetVisible(true);
    plPrivacy->SetVisible(true);
    plWait->SetVisible(false);
}
