# Writes the manual page of vorlix-cli from its own --help text, so the page
# can never describe other options than the program takes.
#   cmake -DCLI=path/to/vorlix-cli -DOUT=vorlix-cli.1 -DVERSION=x.y.z -P MakeManPage.cmake
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE usage RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vorlix-cli --help failed (${status})")
endif()
# roff: backslashes are escapes, and a line starting with . or ' is a request.
string(REPLACE "\\" "\\e" usage "${usage}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" usage "${usage}")
# The first line of --help is the usage line; the page lists it in SYNOPSIS.
string(REGEX REPLACE "^Usage: [^\n]*\n\n?" "" body "${usage}")
file(WRITE ${OUT} ".TH VORLIX-CLI 1 \"\" \"Vorlix ${VERSION}\" \"User Commands\"
.SH NAME
vorlix-cli \\- resample, filter, inspect and convert pictures with the Vorlix engine
.SH SYNOPSIS
.B vorlix-cli
.I COMMAND
.RI [ ARGUMENTS ]
.SH DESCRIPTION
.B vorlix-cli
runs the resampling engine, the pre-filters and the file formats of the
Vorlix desktop program without a display. Every algorithm gives the same
bytes as in the desktop program, on any number of threads.
The same text is printed by
.BR \"vorlix-cli --help\" .
.SH COMMANDS AND OPTIONS
.nf
${body}.fi
.SH FILES
.TP
.I /usr/share/vorlix/Lang/
the language files of an installed program (a portable program keeps
.I Lang/
beside itself).
.SH SEE ALSO
.BR vorlix (1)
")
