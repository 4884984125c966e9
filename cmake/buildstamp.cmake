# The version line shows when the executable was built. The stamp file is regenerated
# whenever a source changes, which is exactly when the executable is rebuilt;
# string(TIMESTAMP) honours SOURCE_DATE_EPOCH for reproducible builds.
set(TAVRIN_STAMP_FILE ${CMAKE_BINARY_DIR}/generated/build_stamp.cpp)
add_custom_command(
  OUTPUT ${TAVRIN_STAMP_FILE}
  COMMAND ${CMAKE_COMMAND} -DOUT=${TAVRIN_STAMP_FILE} -P ${CMAKE_SOURCE_DIR}/cmake/write_stamp.cmake
  DEPENDS ${TAVRIN_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/write_stamp.cmake
  COMMENT "Writing the build time stamp")
list(APPEND TAVRIN_GENERATED_SOURCES ${TAVRIN_STAMP_FILE})
