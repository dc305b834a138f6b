# WDL, pinned to one commit: SWELL, through which the plug-in's Win32 dialogs run on Linux (REAPER provides
# its functions at run time), and the headless libSwell.so the Linux test host builds from it.
#
# A build elsewhere fetches the commit from the public repository. Where a copy of that commit is already on
# the machine (this project's build machines keep one in ../shared/deps/WDL), FETCHCONTENT_SOURCE_DIR_WDL
# points at it and nothing is fetched; the copy is only read, every build product lands in the build tree.
include(FetchContent)

set(TAMSEL_WDL_COMMIT 8338e8193e4c1523c9eb0ec99d1815e14d062375)
if(NOT FETCHCONTENT_SOURCE_DIR_WDL)
    get_filename_component(_tamsel_wdl_copy ${PROJECT_SOURCE_DIR}/../shared/deps/WDL ABSOLUTE)
    if(EXISTS ${_tamsel_wdl_copy}/swell/swell.h)
        set(FETCHCONTENT_SOURCE_DIR_WDL ${_tamsel_wdl_copy} CACHE PATH "A local copy of WDL at the pinned commit")
    endif()
endif()
FetchContent_Declare(wdl GIT_REPOSITORY https://github.com/justinfrankel/WDL.git GIT_TAG ${TAMSEL_WDL_COMMIT})
FetchContent_GetProperties(wdl)
if(NOT wdl_POPULATED)
    # Populate only: WDL is headers and sources we pick from, not a CMake project of its own.
    FetchContent_Populate(wdl)
endif()
# The repository keeps the library in its WDL/ folder; a copy of just that folder has it at the top.
if(EXISTS ${wdl_SOURCE_DIR}/WDL/swell/swell.h)
    set(TAMSEL_WDL_DIR ${wdl_SOURCE_DIR}/WDL)
else()
    set(TAMSEL_WDL_DIR ${wdl_SOURCE_DIR})
endif()
if(NOT EXISTS ${TAMSEL_WDL_DIR}/swell/swell.h)
    message(FATAL_ERROR "WDL at ${wdl_SOURCE_DIR} has no swell/swell.h")
endif()

# Code that calls SWELL through the function pointers SWELL_dllMain fills (the plug-in's side). WDL's headers
# are not held to this project's warnings.
add_library(tamsel_swell_api INTERFACE)
target_include_directories(tamsel_swell_api SYSTEM INTERFACE ${TAMSEL_WDL_DIR}/swell)
target_compile_definitions(tamsel_swell_api INTERFACE SWELL_PROVIDED_BY_APP NOMINMAX)
