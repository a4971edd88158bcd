@echo off
rem Tavportsvc-trace.cmd start [file.etl] [--circular MB] | stop | status
rem Captures the Tavportsvc trace provider at level 4 (information) with flag 1 into an .etl
rem file (a circular one of MB megabytes with --circular), remembers the file for stop and
rem status, and tells how to turn it into text with the decoding files of the tmf folder
rem beside this script. Run it elevated.
setlocal EnableExtensions
set SESSION=Tavportsvc
set PROVIDER=@TRACE_CONTROL_GUID@
set "TMFDIR=%~dp0tmf"
set "STATEDIR=%ProgramData%\TAV"
set "LAST=%STATEDIR%\Tavportsvc-trace.last"
set ETL=
set CIRCULAR=

if /i "%~1"=="start" goto start_args
if /i "%~1"=="stop" if "%~2"=="" goto stop
if /i "%~1"=="status" if "%~2"=="" goto status
goto usage

:start_args
shift
:next_arg
if "%~1"=="" goto start
if /i "%~1"=="--circular" goto circular_arg
set "ARG=%~1"
if "%ARG:~0,1%"=="-" goto usage
if defined ETL goto usage
set "ETL=%~f1"
shift
goto next_arg

:circular_arg
set "CIRCULAR=%~2"
if not defined CIRCULAR goto usage
rem Megabytes: digits only, not 0.
for /f "delims=0123456789" %%C in ("%CIRCULAR%") do goto usage
if %CIRCULAR% LSS 1 goto usage
shift
shift
goto next_arg

:start
if not defined ETL set "ETL=%STATEDIR%\Tavportsvc.etl"
for %%F in ("%ETL%") do set "ETLDIR=%%~dpF"
if not exist "%ETLDIR%" mkdir "%ETLDIR%"
set FORMAT=
if defined CIRCULAR set "FORMAT=-f bincirc -max %CIRCULAR%"
logman start %SESSION% -p %PROVIDER% 0x1 0x4 -o "%ETL%" %FORMAT% -ets
rem logman fails with negative HRESULTs, which "if errorlevel 1" would take for success.
if %errorlevel% neq 0 exit /b %errorlevel%
if not exist "%STATEDIR%" mkdir "%STATEDIR%"
>"%LAST%" echo %ETL%
echo Tracing Tavportsvc into %ETL%. Reproduce the problem, then run: %~nx0 stop
exit /b 0

:stop
logman stop %SESSION% -ets
if %errorlevel% neq 0 exit /b %errorlevel%
call :remembered_file
echo The trace is in %ETL%. To read it as text:
echo   tracerpt "%ETL%" -tp "%TMFDIR%" -of CSV -o "%ETL%.csv" -y
echo or, with the Windows Driver Kit's tracefmt:
echo   tracefmt "%ETL%" -p "%TMFDIR%" -o "%ETL%.txt"
exit /b 0

:status
call :remembered_file
logman query %SESSION% -ets >nul 2>&1
if %errorlevel% neq 0 goto not_running
echo The trace session %SESSION% is running, into %ETL%.
exit /b 0
:not_running
echo The trace session %SESSION% is not running; the last trace went to %ETL%.
exit /b 1

rem ETL: the file of the last start, or the default one when none is remembered.
:remembered_file
set ETL=
if exist "%LAST%" set /p ETL=<"%LAST%"
if not defined ETL set "ETL=%STATEDIR%\Tavportsvc.etl"
exit /b 0

:usage
echo usage: %~nx0 start [file.etl] [--circular MB] ^| stop ^| status
exit /b 87
