# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# tallyfin_add_test(NAME SOURCES <files...> LIBRARIES <targets...> [ENVIRONMENT <VAR=value...>])
#
# One QtTest executable registered with CTest. Every test runs under a non-UTC time zone with a
# half-hour offset and a non-English locale, so that hidden assumptions about either fail here.
# LANGUAGE is cleared, so the program's texts are German too unless a test asks for English
# (installTranslations(app, {"en"})) to compare English texts; number formats stay German.
function(tallyfin_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;ENVIRONMENT;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=Asia/Kolkata;LANG=de_DE.UTF-8;LC_ALL=de_DE.UTF-8;LANGUAGE=;QT_LOGGING_RULES=*.debug=false;${ARG_ENVIRONMENT}"
        TIMEOUT 120)
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
