@echo off
rem The demo: a browser that holds its history index open, as a running
rem Internet Explorer does (so the cleanup leaves it for the restart), then
rem Sweepora, whose program is the first argument.
start "" "C:\Program Files\Demo Browser\browser.exe" "%LOCALAPPDATA%\Microsoft\Windows\History\History.IE5\index.dat"
%1
