# Builds the help file from its UTF-8 sources:
#   cmake -DCHMCMD=chmcmd -DICONV=iconv -DSOURCES=a|b|... -DSTAGING=DIR -DOUTPUT=Kivra.chm -P this
# SOURCES lists the project file (.hhp) and every file it names. The text files are staged in
# Windows-1251 with their declared charset changed to match; pictures are copied. chmcmd then
# compiles the staged project. Its output is shown only when it fails or warns.

cmake_minimum_required(VERSION 3.25)

foreach(variable CHMCMD ICONV SOURCES STAGING OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "BuildHelpFile.cmake needs -D${variable}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${STAGING})
file(MAKE_DIRECTORY ${STAGING})
string(REPLACE "|" ";" sources "${SOURCES}")

set(project "")
foreach(source IN LISTS sources)
    get_filename_component(name ${source} NAME)
    set(staged ${STAGING}/${name})
    if(NOT name MATCHES "\\.(html|hhc|hhk|hhp|css)$")
        file(COPY_FILE ${source} ${staged})
        continue()
    endif()
    if(name MATCHES "\\.hhp$")
        set(project ${name})
    endif()
    file(READ ${source} text)
    string(REPLACE "charset=utf-8" "charset=windows-1251" text "${text}")
    file(WRITE ${staged}.utf-8 "${text}")
    execute_process(COMMAND ${ICONV} -f UTF-8 -t WINDOWS-1251 ${staged}.utf-8
        OUTPUT_FILE ${staged}
        ERROR_VARIABLE problem
        RESULT_VARIABLE result)
    file(REMOVE ${staged}.utf-8)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${source}: a character has no place in Windows-1251; write it as an "
            "HTML entity (${problem})")
    endif()
endforeach()
if(project STREQUAL "")
    message(FATAL_ERROR "BuildHelpFile.cmake: no project file (.hhp) among the sources")
endif()

# chmcmd writes the file named in the project beside it, and may leave an empty file when it
# fails.
execute_process(COMMAND ${CHMCMD} ${project}
    WORKING_DIRECTORY ${STAGING}
    OUTPUT_VARIABLE log
    ERROR_VARIABLE log
    RESULT_VARIABLE result)
get_filename_component(compiled_name ${OUTPUT} NAME)
set(compiled ${STAGING}/${compiled_name})
set(size 0)
if(EXISTS ${compiled})
    file(SIZE ${compiled} size)
endif()
if(NOT result EQUAL 0 OR size EQUAL 0)
    message(FATAL_ERROR "chmcmd failed (${result}) on ${STAGING}/${project}:\n${log}")
endif()
# Its warnings name links to files that are not in the help.
if(log MATCHES "Warning:")
    message(FATAL_ERROR "chmcmd warns about ${STAGING}/${project}:\n${log}")
endif()
file(COPY_FILE ${compiled} ${OUTPUT})
