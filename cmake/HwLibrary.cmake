# One static library per source folder: every .cpp directly in the folder.
function(hw_library name dir)
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
    if(NOT sources)
        set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
    # For the layering check (tests/CMakeLists.txt).
    set_target_properties(${name} PROPERTIES HW_FOLDER ${dir})
    set_property(GLOBAL APPEND PROPERTY HW_LIBRARIES ${name})
endfunction()
