# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

# The Debian package that scripts/package builds with CPack: both programs and what dist/
# installs. Depends comes from the libraries the programs link (dpkg-shlibdeps) and from the run
# sections of scripts/debian-packages.txt: QML modules, platform plugins, fonts and Qt's
# translations are loaded at run time, so no library dependency names them.

file(STRINGS ${PROJECT_SOURCE_DIR}/scripts/debian-packages.txt package_lines)
set(depends)
set(recommends)
set(section "")
# Each comment line starts a section: "# Run:" lists what the package depends on, "# Run,
# recommended:" what it recommends.
foreach(line IN LISTS package_lines)
    if(line MATCHES "^# Run:")
        set(section depends)
    elseif(line MATCHES "^# Run, recommended:")
        set(section recommends)
    elseif(line MATCHES "^#")
        set(section "")
    elseif(section AND line MATCHES "^[a-z0-9][a-z0-9.+-]+$")
        list(APPEND ${section} ${line})
    endif()
endforeach()
if(NOT depends)
    message(FATAL_ERROR "scripts/debian-packages.txt has no '# Run:' section")
endif()
list(JOIN depends ", " depends)
list(JOIN recommends ", " recommends)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallyfin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TALLYFIN_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TALLYFIN_BUILD_NUMBER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TALLYFIN_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS ${depends})
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ${recommends})
if(TALLYFIN_HOMEPAGE_URL)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TALLYFIN_HOMEPAGE_URL})
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "floating overlay for indoor training on Bluetooth fitness machines")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tallyfin shows a small borderless panel above every other window while you
row, ride, run or stride. It finds Bluetooth LE fitness machines that offer
the Fitness Machine Service (indoor bikes, rowers, treadmills and cross
trainers), connects to the one you click and shows live time, distance,
speed or pace, cadence, power, calories and heart rate over a chart of
recent power. It only ever reads from a machine.

The package also holds tallyfin-cli, which decodes machine data, replays
diagnostic logs and prints live values as JSON.")
include(CPack)

# Everything the package holds, so that scripts/package builds no tests or benchmarks.
add_custom_target(tallyfin_package_contents)
add_dependencies(tallyfin_package_contents tallyfin-cli tallyfin-cli_manual tallyfin_changelog)
if(TALLYFIN_BUILD_UI)
    add_dependencies(tallyfin_package_contents
        tallyfin tallyfin_manual tallyfin_metainfo tallyfin_icons)
endif()
