# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# Writes the AppStream metainfo from its template. The home page and the screenshots are web
# addresses; a build that has none leaves those elements out rather than name made-up ones.
#   cmake -DTEMPLATE=<in> -DOUTPUT=<xml> -DAPP_ID=<id> [-DHOMEPAGE_URL=<url>]
#         [-DSCREENSHOT_BASE_URL=<url>] -P metainfo.cmake

file(READ "${TEMPLATE}" text)
if(NOT HOMEPAGE_URL)
    string(REGEX REPLACE "[ ]*<url type=\"homepage\">[^\n]*\n" "" text "${text}")
endif()
if(NOT SCREENSHOT_BASE_URL)
    string(REGEX REPLACE "[ ]*<screenshots>.*</screenshots>\n" "" text "${text}")
endif()
string(REGEX REPLACE "/+$" "" SCREENSHOT_BASE_URL "${SCREENSHOT_BASE_URL}")
set(TALLYFIN_APP_ID "${APP_ID}")
set(TALLYFIN_HOMEPAGE_URL "${HOMEPAGE_URL}")
set(TALLYFIN_SCREENSHOT_BASE_URL "${SCREENSHOT_BASE_URL}")
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${text}" @ONLY)
