# The Windows programs' resources: the icon Explorer and the task bar show
# (drawn by the native build's make_icon) and the version information.
enable_language(RC)
set(ZV_PROGRAM_ICON "" CACHE FILEPATH "The program icon made by the native build")

# zv_program_resources(target description): description is what the program does.
function(zv_program_resources target description)
  set(ZV_RC_NAME ${target})
  set(ZV_RC_DESCRIPTION ${description})
  string(REPLACE "." "," ZV_RC_VERSION_COMMAS "${PROJECT_VERSION}.0")
  set(ZV_RC_VERSION "${PROJECT_VERSION}.0")
  set(ZV_RC_ICON "")
  if(ZV_PROGRAM_ICON)
    set(ZV_RC_ICON "1 ICON \"${ZV_PROGRAM_ICON}\"")
    set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc APPEND PROPERTY OBJECT_DEPENDS ${ZV_PROGRAM_ICON})
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
