# One static library per source folder: every .cpp in the folder belongs to
# it, so adding a type means adding its two files and nothing else. EXCLUDE
# names subfolders built as something else (a loadable module).
function(ormil_folder_library name)
  cmake_parse_arguments(ARG "" "" "LINK;EXCLUDE" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*/*.h)
  list(FILTER _sources EXCLUDE REGEX "/main\\.cpp$")
  foreach(_dir IN LISTS ARG_EXCLUDE)
    list(FILTER _sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${_dir}/")
  endforeach()
  set(_placeholder ${CMAKE_CURRENT_BINARY_DIR}/${name}_placeholder.cpp)
  # Rewritten only when the folder's list of files changes: a fresh time
  # stamp on every configure would relink everything above the library, and
  # a new file must still reach the Qt code generators, which watch this one.
  set(_names "")
  foreach(_source IN LISTS _sources)
    file(RELATIVE_PATH _name ${CMAKE_CURRENT_SOURCE_DIR} ${_source})
    string(APPEND _names "// ${_name}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${_placeholder}
       CONTENT "// keeps a folder without sources linkable; its files:\n${_names}")
  add_library(${name} STATIC ${_sources} ${_placeholder})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
endfunction()

# One test program per tests/ folder; every TEST in it becomes its own CTest
# test, so each runs in a fresh process. The program also runs whole once, as
# a developer or a debugger runs it (WholeProgram.NAME): every test gets its
# own HOME, log and settings either way, and this run catches a test that
# leans on what an earlier one left behind. EXCLUDE_FROM_WHOLE names tests
# (a gtest filter) that measure timing and run alone instead.
function(ormil_folder_tests name)
  cmake_parse_arguments(ARG "" "EXCLUDE_FROM_WHOLE" "LINK;PROPERTIES" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _sources)
    return()
  endif()
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE ormil_testsupport ${ARG_LINK})
  # test_FOLDER links ormil_FOLDER, with the stand-in service and the media
  # module when that library reaches them (ormil_all for the programs that
  # run the whole application).
  string(REGEX REPLACE "^test_" "" _folder ${name})
  set(_tested ${ARG_LINK})
  if(TARGET ormil_${_folder})
    target_link_libraries(${name} PRIVATE ormil_${_folder})
    list(APPEND _tested ormil_${_folder})
  endif()
  if(_tested MATCHES "ormil_(audio|service|records|pipeline|overlay|mainwindow|windows|app|all)")
    target_link_libraries(${name} PRIVATE ormil_testsupport_media)
  endif()
  if(_tested MATCHES "ormil_(service|records|pipeline|overlay|mainwindow|windows|app|all)")
    target_link_libraries(${name} PRIVATE ormil_testsupport_service)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${ARG_PROPERTIES})
  set(_filter "")
  if(ARG_EXCLUDE_FROM_WHOLE)
    set(_filter "--gtest_filter=-${ARG_EXCLUDE_FROM_WHOLE}")
  endif()
  add_test(NAME WholeProgram.${name} COMMAND ${name} ${_filter})
  if(ARG_PROPERTIES)
    set_tests_properties(WholeProgram.${name} PROPERTIES ${ARG_PROPERTIES})
  endif()
  set_property(TEST WholeProgram.${name} APPEND PROPERTY LABELS whole)
endfunction()

# A table of interface texts: the JSON file `input` of the folder becomes a
# generated source defining `const TextTable& function()` (declared in
# `header`) in `target`.
function(ormil_text_table target input function header)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  get_filename_component(_name ${input} NAME_WE)
  set(_output ${CMAKE_CURRENT_BINARY_DIR}/${_name}Data.cpp)
  add_custom_command(OUTPUT ${_output}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/generate-texts
            ${CMAKE_CURRENT_SOURCE_DIR}/${input} ${_output} ${function} ${header}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${input} ${PROJECT_SOURCE_DIR}/scripts/generate-texts
    COMMENT "Generating ${function} from ${input}"
    VERBATIM)
  target_sources(${target} PRIVATE ${_output})
endfunction()
