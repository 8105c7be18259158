@echo off
rem Places the programs behind the demo's entries, copied from D: (the run
rem command gathers them there): the working sample's uninstaller (it removes
rem its own entry; its icons give the sample's icon), the Installer product's
rem icon file, the "browser" that start.bat starts beside the program, start.bat
rem itself, and the help file, which the program opens by its bare name from
rem its current folder, C:\work. A file that cannot be placed ends it with 1.
call :place iconic_uninstaller.exe "C:\Program Files\Demo Paint" uninst.exe
call :place iconic_uninstaller.exe "C:\windows\Installer\{6A3F2C1E-4B5D-4E7F-9A8B-1C2D3E4F5A6B}" suite.exe
call :place file_holder.exe "C:\Program Files\Demo Browser" browser.exe
call :place start.bat C:\work start.bat
call :place "Sweepora 2004.chm" C:\work "Sweepora 2004.chm"
goto :eof

:place
if not exist "%~2\" mkdir "%~2"
copy /y "D:\%~1" "%~2\%~3" >nul
if not exist "%~2\%~3" (
  echo run: could not place %~2\%~3
  exit 1
)
goto :eof
