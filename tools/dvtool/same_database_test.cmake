# The native dvtool and the Windows dvtool.exe build dv.dat from the same
# text; the bytes must be the same, so that the package's dv.dat may come
# from either. Expects -DNATIVE=dvtool -DDVTOOL=dvtool.exe -DTEXT=units.txt
# -DWORK=folder -DEMULATOR=...
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${TEXT} ${WORK}/units.txt)
foreach(side native windows)
    if(side STREQUAL native)
        set(command ${NATIVE})
    else()
        set(command ${EMULATOR} ${DVTOOL})
    endif()
    execute_process(COMMAND ${command} build units.txt ${side}.dat WORKING_DIRECTORY ${WORK}
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${side} dvtool build: status ${status}\n${out}${err}")
    endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/native.dat ${WORK}/windows.dat
    RESULT_VARIABLE differ)
if(differ)
    message(FATAL_ERROR "the native dvtool and dvtool.exe built different dv.dat from ${TEXT}")
endif()
file(REMOVE_RECURSE ${WORK})
