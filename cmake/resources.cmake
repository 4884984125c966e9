# The raw data blocks of resources/ are linked into the executable as byte arrays,
# found at run time by name through LoadResourceData.
set(TAVRIN_RESOURCE_NAMES R11 R16)
set(TAVRIN_RESOURCE_FILES "")
foreach(name ${TAVRIN_RESOURCE_NAMES})
  if(EXISTS ${CMAKE_SOURCE_DIR}/resources/${name}.bin)
    list(APPEND TAVRIN_RESOURCE_FILES ${CMAKE_SOURCE_DIR}/resources/${name}.bin)
  endif()
endforeach()
set(TAVRIN_RESOURCE_CPP ${CMAKE_BINARY_DIR}/generated/resources_data.cpp)
add_custom_command(
  OUTPUT ${TAVRIN_RESOURCE_CPP}
  COMMAND ${CMAKE_COMMAND} "-DFILES=${TAVRIN_RESOURCE_FILES}" -DOUT=${TAVRIN_RESOURCE_CPP}
          -P ${CMAKE_SOURCE_DIR}/cmake/embed_resources.cmake
  DEPENDS ${TAVRIN_RESOURCE_FILES} ${CMAKE_SOURCE_DIR}/cmake/embed_resources.cmake
  COMMENT "Embedding the raw data blocks"
  VERBATIM)
list(APPEND TAVRIN_GENERATED_SOURCES ${TAVRIN_RESOURCE_CPP})
