# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# The metainfo validates with and without the web addresses of a published build, its screenshots
# are the README's pictures, and its newest release is this version.

foreach(url "" "https://example.org/tallyfin")
    set(output ${WORK_DIR}/metainfo-test.xml)
    set(images "")
    if(url)
        set(images ${url}/docs/images)
    endif()
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${SOURCE_DIR}/dist/tallyfin.metainfo.xml.in
            -DOUTPUT=${output} -DAPP_ID=${APP_ID} -DHOMEPAGE_URL=${url}
            -DSCREENSHOT_BASE_URL=${images} -P ${SOURCE_DIR}/dist/metainfo.cmake
        COMMAND_ERROR_IS_FATAL ANY)
    execute_process(
        COMMAND ${APPSTREAMCLI} validate --no-net ${output}
        RESULT_VARIABLE status
        OUTPUT_VARIABLE report
        ERROR_VARIABLE report)
    if(NOT status EQUAL 0 OR report MATCHES "\n[EW]: ")
        message(FATAL_ERROR "metainfo with web address '${url}' does not validate:\n${report}")
    endif()
endforeach()

file(READ ${output} text)
string(REGEX MATCHALL "/docs/images/[^<]+</image>" images "${text}")
if(NOT images)
    message(FATAL_ERROR "the metainfo lists no screenshots")
endif()
foreach(image IN LISTS images)
    string(REGEX REPLACE "</image>$" "" image "${image}")
    if(NOT EXISTS ${SOURCE_DIR}${image})
        message(FATAL_ERROR "screenshot ${image} is not in the repository")
    endif()
endforeach()

string(REGEX MATCH "<release version=\"([^\"]+)\"" release "${text}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "the newest release in the metainfo is '${CMAKE_MATCH_1}', not ${VERSION}")
endif()
