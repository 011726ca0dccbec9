# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# Runs the program as the README does to make its pictures, and with bad arguments.
# Expects -DPROGRAM=<tallyfin> -DOUTPUT=<png file>.

file(REMOVE "${OUTPUT}")
execute_process(
    COMMAND "${PROGRAM}" --demo --screenshot "${OUTPUT}" --after 600
    RESULT_VARIABLE status
    ERROR_VARIABLE errors
    TIMEOUT 40)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "screenshot run ended with ${status}: ${errors}")
endif()
if(NOT EXISTS "${OUTPUT}")
    message(FATAL_ERROR "no screenshot written to ${OUTPUT}")
endif()
# The PNG header holds width and height as big-endian numbers at bytes 16 to 23.
file(READ "${OUTPUT}" header OFFSET 16 LIMIT 8 HEX)
string(SUBSTRING "${header}" 0 8 width_hex)
string(SUBSTRING "${header}" 8 8 height_hex)
math(EXPR width "0x${width_hex}")
math(EXPR height "0x${height_hex}")
if(NOT width EQUAL 580 OR NOT height EQUAL 80)
    message(FATAL_ERROR "the disconnected panel should be 580 x 80, the picture is ${width} x ${height}")
endif()

foreach(bad "--size;huge" "--after;5" "--screenshot;${OUTPUT}.unknownformat" "--frobnicate")
    execute_process(
        COMMAND "${PROGRAM}" ${bad}
        RESULT_VARIABLE status
        ERROR_VARIABLE errors
        TIMEOUT 20)
    if(NOT status EQUAL 2)
        message(FATAL_ERROR "'${bad}' should end with status 2, got ${status}")
    endif()
    if(NOT errors MATCHES "tallyfin: ")
        message(FATAL_ERROR "'${bad}' should explain itself on stderr, got: ${errors}")
    endif()
endforeach()

# The program speaks the system's language (German here); LANGUAGE lists others to try first, and
# English is the fallback.
foreach(case "LANGUAGE=;Aufruf: tallyfin" "LANGUAGE=en_US:de;Usage: tallyfin"
        "LANGUAGE=fr_FR:de_AT;Aufruf: tallyfin" "LANGUAGE=fr_FR;Usage: tallyfin")
    list(GET case 0 language)
    list(GET case 1 expected)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env ${language} "${PROGRAM}" --help
        RESULT_VARIABLE status
        OUTPUT_VARIABLE help
        TIMEOUT 20)
    if(NOT status EQUAL 0 OR NOT help MATCHES "^${expected} \\[OPTION\\]")
        message(FATAL_ERROR "with ${language}, --help should start with '${expected}', got: ${help}")
    endif()
endforeach()

# Without a display (or in a Wayland session without XWayland): one line that says what is
# missing, and status 1, instead of Qt's abort.
foreach(case "--unset=WAYLAND_DISPLAY;DISPLAY" "WAYLAND_DISPLAY=wayland-0;XWayland")
    list(GET case 0 wayland)
    list(GET case 1 expected)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=QT_QPA_PLATFORM --unset=DISPLAY ${wayland}
            "${PROGRAM}" --demo
        RESULT_VARIABLE status
        ERROR_VARIABLE errors
        TIMEOUT 20)
    if(NOT status EQUAL 1 OR NOT errors MATCHES "^tallyfin: [^\n]*${expected}[^\n]*\n$")
        message(FATAL_ERROR "with ${wayland} and no DISPLAY: status ${status}, stderr: ${errors}")
    endif()
endforeach()
