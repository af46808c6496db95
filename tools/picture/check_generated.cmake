# Runs the picture generator into a scratch file and fails when the
# committed panels/picture_data.cpp is not exactly what it writes.
#   cmake -DPYTHON=python3 -DSOURCE_DIR=<repo> -DOUTPUT=<scratch file> -P check_generated.cmake
execute_process(
  COMMAND ${PYTHON} ${SOURCE_DIR}/tools/picture/make_picture.py --output ${OUTPUT}
  RESULT_VARIABLE generated)
if(NOT generated EQUAL 0)
  message(FATAL_ERROR "tools/picture/make_picture.py failed: ${generated}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT}
          ${SOURCE_DIR}/panels/picture_data.cpp
  RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "panels/picture_data.cpp differs from what "
                      "tools/picture/make_picture.py writes: run the script")
endif()
message(STATUS "panels/picture_data.cpp is what the generator writes")
