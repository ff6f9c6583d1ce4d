# tools/run on a machine without a display, as a new user meets it: it must show the main job end to
# end and print what landed and where the screenshots are. Run again as on a monitor at 150 %
# (tools/run --dpi 144, which takes the README's screenshot at that scale), it must show the same
# windows one and a half times as large, and the stand-in's screenshot must show its sheet.
#   cmake -DRUN=tools/run -DHOME_DIR=<data home> -P run_demo_check.cmake

# Runs tools/run at the DPI and checks its report; sets <dpi>_<name>_width and _height for each
# screenshot (setup-screen, paste-screen, excel-standin).
function(run_demo dpi)
  execute_process(COMMAND env -u DISPLAY XDG_DATA_HOME=${HOME_DIR} ${RUN} --dpi ${dpi}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  message("${out}")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "tools/run --dpi ${dpi} failed (${status}):\n${err}")
  endif()
  foreach(expected
      "cell A1 = \"CellDrop のデモコピーした 2 行目\""
      "picture 図 1 180x90 pt at cell B1")
    if(NOT out MATCHES "${expected}")
      message(FATAL_ERROR "tools/run --dpi ${dpi} did not print: ${expected}")
    endif()
  endforeach()
  foreach(name setup-screen paste-screen excel-standin)
    if(NOT out MATCHES "screenshot: ([^\n]*/${name}\\.png)")
      message(FATAL_ERROR "tools/run --dpi ${dpi} did not print the screenshot ${name}")
    endif()
    set(shot "${CMAKE_MATCH_1}")
    execute_process(COMMAND identify -format "%w;%h" "${shot}" OUTPUT_VARIABLE size RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "no screenshot at ${shot}")
    endif()
    list(GET size 0 width)
    list(GET size 1 height)
    set(${dpi}_${name}_width ${width} PARENT_SCOPE)
    set(${dpi}_${name}_height ${height} PARENT_SCOPE)
    if(name STREQUAL "excel-standin")
      # The stand-in's sheet: its green bar over the cells, and the pasted picture's fill.
      execute_process(COMMAND convert "${shot}" -format %c histogram:info:- OUTPUT_VARIABLE colours)
      foreach(colour "#217346" "#E3EEFB")
        if(NOT colours MATCHES "${colour}")
          message(FATAL_ERROR "the stand-in's screenshot at ${dpi} dpi does not show its sheet (no ${colour}): ${shot}")
        endif()
      endforeach()
    endif()
  endforeach()
endfunction()

run_demo(96)
run_demo(144)
foreach(name setup-screen paste-screen excel-standin)
  foreach(side width height)
    math(EXPR percent "100 * ${144_${name}_${side}} / ${96_${name}_${side}}")
    if(percent LESS 145 OR percent GREATER 155)
      message(FATAL_ERROR "the ${name} screenshot's ${side} at 144 dpi is ${percent} % of the one at 96 dpi, not 150 %")
    endif()
  endforeach()
endforeach()
