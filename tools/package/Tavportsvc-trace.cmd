@echo off
rem Tavportsvc-trace.cmd start|stop [file.etl]
rem Captures the Tavportsvc trace provider at level 4 (information) with flag 1 into an
rem .etl file, and tells how to turn it into text with Tavportsvc.tmf. Run it elevated.
setlocal
set SESSION=Tavportsvc
set PROVIDER=@TRACE_CONTROL_GUID@
set TMF=%~dp0Tavportsvc.tmf
set ETL=%~2
if "%ETL%"=="" set ETL=%ProgramData%\TAV\Tavportsvc.etl

if /i "%~1"=="start" goto start
if /i "%~1"=="stop" goto stop
echo usage: %~nx0 start^|stop [file.etl]
exit /b 87

:start
for %%F in ("%ETL%") do set ETLDIR=%%~dpF
if not exist "%ETLDIR%" mkdir "%ETLDIR%"
logman start %SESSION% -p %PROVIDER% 0x1 0x4 -o "%ETL%" -ets
if errorlevel 1 exit /b %errorlevel%
echo Tracing Tavportsvc into %ETL%. Reproduce the problem, then run: %~nx0 stop
exit /b 0

:stop
logman stop %SESSION% -ets
if errorlevel 1 exit /b %errorlevel%
echo The trace is in %ETL%. To read it as text:
echo   tracerpt "%ETL%" -tmf "%TMF%" -of CSV -o "%ETL%.csv"
echo or, with the Windows Driver Kit's tracefmt:
echo   tracefmt "%ETL%" -tmf "%TMF%" -o "%ETL%.txt"
exit /b 0
