# The product name, from the first record of resources/config.json (the window's title and
# its WM_CLASS), and the name that the installed files and the package go by: the product
# name in lower case with a hyphen for each run of other characters ("Tarnwell App" gives
# "tarnwell-app"). Included by the build; run with `cmake -P`, it prints the second name.
file(READ "${CMAKE_CURRENT_LIST_DIR}/../resources/config.json" orvo_config)
string(JSON orvo_record ERROR_VARIABLE orvo_error MEMBER "${orvo_config}" 0)
if(NOT orvo_error)
    string(JSON ORVO_PRODUCT_NAME ERROR_VARIABLE orvo_error GET "${orvo_config}" "${orvo_record}" name)
endif()
string(TOLOWER "${ORVO_PRODUCT_NAME}" ORVO_INSTALL_NAME)
string(REGEX REPLACE "[^a-z0-9]+" "-" ORVO_INSTALL_NAME "${ORVO_INSTALL_NAME}")
string(REGEX REPLACE "^-+|-+$" "" ORVO_INSTALL_NAME "${ORVO_INSTALL_NAME}")
# A Debian package name has two characters at least.
if(orvo_error OR NOT ORVO_INSTALL_NAME MATCHES "^[a-z0-9][a-z0-9-]+$")
    message(FATAL_ERROR "resources/config.json names no product to install: ${orvo_error}")
endif()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${ORVO_INSTALL_NAME}")
endif()
