# cmake -DAPPSTREAMCLI=... -DMETAINFO=... -DVERSION=... -P CheckMetainfo.cmake
# The metainfo file passes the strictest AppStream check with no remark at all, and names
# this version as its newest release. Without appstreamcli it says so (the test is skipped).
file(READ ${METAINFO} text)
string(REGEX MATCH "<release version=\"([^\"]*)\"" release "${text}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "the newest release in ${METAINFO} is '${CMAKE_MATCH_1}', "
                        "the project version is '${VERSION}'")
endif()
if(NOT APPSTREAMCLI)
    message("appstreamcli not found: not validated")
    return()
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --pedantic --no-net ${METAINFO}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT result EQUAL 0 OR out MATCHES "(^|\n)[EWIP]: ")
    message(FATAL_ERROR "appstreamcli validate --pedantic found issues")
endif()
