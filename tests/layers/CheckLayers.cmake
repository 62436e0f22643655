# Fails when a source under src/ includes a header of a layer above its own.
# Run as: cmake -DSOURCE_DIR=<repo> -DLAYERS="platform;text;..." -P CheckLayers.cmake
#
# The core layers may include their own headers and those below them; the
# command-line tool and the windows sit side by side on the core, and the
# windowed program on the windows.
if(NOT SOURCE_DIR OR NOT LAYERS)
  message(FATAL_ERROR "CheckLayers.cmake needs SOURCE_DIR and LAYERS")
endif()

set(allowed_so_far "")
foreach(layer IN LISTS LAYERS)
  list(APPEND allowed_so_far ${layer})
  set(allowed_${layer} ${allowed_so_far})
endforeach()
set(allowed_cli ${LAYERS} cli)
set(allowed_dialogs ${LAYERS} dialogs)
set(allowed_app ${LAYERS} dialogs app)
set(all_layers ${LAYERS} cli dialogs app)

set(violations "")
foreach(layer IN LISTS all_layers)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/src/${layer}/*.h" "${SOURCE_DIR}/src/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^#include \"[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" included ${line})
      list(FIND all_layers ${included} known)
      list(FIND allowed_${layer} ${included} permitted)
      if(known GREATER -1 AND permitted EQUAL -1)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${source})
        list(APPEND violations "${shown}: ${line} (layer '${layer}' sits below '${included}')")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " shown)
  message(FATAL_ERROR "Includes of a higher layer:\n  ${shown}")
endif()
message(STATUS "Every include keeps to the layer order")
