# The preview README shows, made with the programs just built: bmp2land
# converts the example level in a scratch folder beside OUT, and landinfo
# draws the land.dat it wrote into OUT.
#
#   cmake -DBMP2LAND=... -DLANDINFO=... -DLEVEL=examples/level.bmp -DOUT=... -P example_preview.cmake

get_filename_component(work "${OUT}" DIRECTORY)
set(work "${work}/example-preview.work")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")
execute_process(COMMAND "${BMP2LAND}" "${LEVEL}" WORKING_DIRECTORY "${work}"
                RESULT_VARIABLE status OUTPUT_VARIABLE said)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "bmp2land ${LEVEL} failed (${status}):\n${said}")
endif()
# landinfo never writes over a file, so the old preview goes first.
file(REMOVE "${OUT}")
execute_process(COMMAND "${LANDINFO}" land.dat "${OUT}" WORKING_DIRECTORY "${work}"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE said)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "landinfo land.dat ${OUT} failed (${status}):\n${said}")
endif()
file(REMOVE_RECURSE "${work}")
