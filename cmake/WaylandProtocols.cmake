# Wayland protocol clients generated from the protocols' XML at build time.
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)

# ormil_wayland_protocol(TARGET XML NAME): adds NAME-client-protocol.h and
# NAME-protocol.c, made from XML, to TARGET (the header on its include path).
function(ormil_wayland_protocol target xml name)
  set(_dir ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
  file(MAKE_DIRECTORY ${_dir})
  add_custom_command(OUTPUT ${_dir}/${name}-client-protocol.h ${_dir}/${name}-protocol.c
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${_dir}/${name}-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${_dir}/${name}-protocol.c
    DEPENDS ${xml}
    COMMENT "Generating the Wayland client of ${name}"
    VERBATIM)
  target_sources(${target} PRIVATE ${_dir}/${name}-client-protocol.h ${_dir}/${name}-protocol.c)
  target_include_directories(${target} PRIVATE ${_dir})
  target_link_libraries(${target} PRIVATE PkgConfig::WAYLAND_CLIENT)
endfunction()
