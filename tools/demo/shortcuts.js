// Shortcuts of the demo's Startup folders (run by wscript in the demo
// sandbox): one in the user's Startup folder and one in the hidden
// "Disabled Startup Items" folder beside it.
var shell = new ActiveXObject("WScript.Shell");
var files = new ActiveXObject("Scripting.FileSystemObject");
var startup = shell.RegRead("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Startup");
var disabled = files.GetParentFolderName(startup) + "\\Disabled Startup Items";

function makeFolder(path) {
    if (!files.FolderExists(path)) files.CreateFolder(path);
}

function makeShortcut(path, target) {
    var link = shell.CreateShortcut(path);
    link.TargetPath = target;
    link.Description = "Shortcut to " + target;
    link.WorkingDirectory = files.GetParentFolderName(target) + "\\";
    link.Save();
}

makeFolder(startup);
makeFolder(disabled);
try {
    files.GetFolder(disabled).Attributes = 2; // hidden, as the program makes it
} catch (e) {
}
makeShortcut(startup + "\\Quick Notes.lnk", "C:\\windows\\notepad.exe");
makeShortcut(disabled + "\\Calendar Reminder.lnk", "C:\\windows\\system32\\calc.exe");
