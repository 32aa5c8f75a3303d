@echo off
rem Starts VELLORAN against the simulated printer in this folder: the folder comes first
rem in the library search of this process and the programs it starts, nowhere else.
rem With arguments, runs velloran-cli.exe with them instead of the window.
setlocal
set "PATH=%~dp0;%PATH%"
if "%~1"=="" (
    start "" "%~dp0..\velloran.exe"
) else (
    "%~dp0..\velloran-cli.exe" %*
)
exit /b %ERRORLEVEL%
