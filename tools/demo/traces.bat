@echo off
rem Traces for the Privacy page of the demo to clean: the Internet Explorer
rem cache, cookies and history, recent documents and temporary files in the
rem user folders that the Shell Folders key names, and the profiles of a
rem simulated Opera and Mozilla (their keys are in seed.reg).
call :trace "%LOCALAPPDATA%\Microsoft\Windows\INetCache\Content.IE5\K3J8Q2ZT\index[1].htm"
call :trace "%LOCALAPPDATA%\Microsoft\Windows\INetCache\Content.IE5\K3J8Q2ZT\logo[1].gif"
call :trace "%LOCALAPPDATA%\Microsoft\Windows\INetCache\Content.IE5\W7RT0MX4\news[2].htm"
call :trace "%LOCALAPPDATA%\Microsoft\Windows\INetCookies\sweepora@example[1].txt"
call :trace "%LOCALAPPDATA%\Microsoft\Windows\INetCookies\sweepora@news.example[2].txt"
call :trace "%LOCALAPPDATA%\Microsoft\Windows\History\History.IE5\MSHist012004061420040615\index.dat"
call :trace "%APPDATA%\Microsoft\Windows\Recent\Budget 2004.xls.lnk"
call :trace "%APPDATA%\Microsoft\Windows\Recent\Holiday photos.lnk"
call :trace "%TEMP%\~DF3A21.tmp"
call :trace "%TEMP%\setup\setup.log"
call :trace "%windir%\Temp\install.log"
for %%f in (cookies4.dat global.dat opera6.adr opera6.adr.bak opera.dir download.dat CACHE4\opr00A1.htm CACHE4\opr00A2.gif) do call :trace "%APPDATA%\Opera\Opera7\Profile\%%f"
call :trace "C:\Program Files\Opera7\Opera.exe"
for %%f in (cookies.txt history.dat bookmarks.html localstore.rdf downloads.rdf 84213377.s Cache\_CACHE_001_ Cache\_CACHE_MAP_) do call :trace "%APPDATA%\Mozilla\Profiles\default\k2x9w1ab.slt\%%f"
goto :eof

:trace
if not exist "%~dp1" mkdir "%~dp1"
echo trace> "%~1"
goto :eof
