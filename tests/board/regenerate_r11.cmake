# Runs the key generator and compares its output with the committed block, byte for byte.
execute_process(COMMAND ${GENERATOR} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_keys failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${OUT} differs from ${EXPECTED}")
endif()
