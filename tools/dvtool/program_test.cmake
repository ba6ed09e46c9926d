# Runs the built dvtool as a user would, in a folder of its own and with
# relative file names, so the Windows program needs no path translation.
# Expects -DDVTOOL=program -DDATABASE=dv.dat -DWORK=folder [-DEMULATOR=...]
# [-DWINDOWS=1 for dvtool.exe].
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${DATABASE} ${WORK}/dv.dat)

function(run_dvtool expected_status)
    execute_process(COMMAND ${EMULATOR} ${DVTOOL} ${ARGN} WORKING_DIRECTORY ${WORK}
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status STREQUAL expected_status)
        message(FATAL_ERROR "dvtool ${ARGN}: status ${status}, not ${expected_status}\n${out}${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

run_dvtool(0 check dv.dat)
if(NOT out MATCHES "^dv.dat: loads 1[4-9] groups with [0-9]+ members")
    message(FATAL_ERROR "check dv.dat said: ${out}")
endif()
run_dvtool(0 dump dv.dat)
file(WRITE ${WORK}/units.txt "${out}")
run_dvtool(0 build units.txt again.dat)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/dv.dat ${WORK}/again.dat
    RESULT_VARIABLE differ)
if(differ)
    message(FATAL_ERROR "dump then build did not give back dv.dat")
endif()
run_dvtool(2 frob dv.dat)
# page reads XML with pugixml, which only the Linux dvtool has; dvtool.exe
# says so, whatever it is given, and writes nothing.
if(WINDOWS)
    run_dvtool(2 page --force eurofxref-daily.xml index.html)
    if(NOT err MATCHES "page is in the Linux dvtool only" OR EXISTS ${WORK}/index.html)
        message(FATAL_ERROR "dvtool.exe page said: ${err}")
    endif()
else()
    run_dvtool(1 page --force absent.xml index.html)
endif()
run_dvtool(1 check absent.dat)
file(REMOVE_RECURSE ${WORK})
