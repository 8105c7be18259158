// The maker's addresses, shown on the About page and opened by its links.
#pragma once

#define SWEEPORA_MAKER "QLN Soft"
#define SWEEPORA_HOMEPAGE "http://www.qlnsoft.example/"
#define SWEEPORA_SUPPORT_MAIL "support@qlnsoft.example"
