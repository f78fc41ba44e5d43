# The console's layers, lowest first, and what each folder may include: a layer
# includes only itself and the layers below it (receipt may also use
# programming; answers, programming and receipt never include one another
# otherwise, and nothing below app includes app). Run with
#   cmake -DROOT=<source dir> -P cmake/CheckLayers.cmake
# at configure time and as a test; it fails on the first include that reaches up.
cmake_minimum_required(VERSION 3.25)
set(base codepage platform)
set(allowed_protocol protocol)
set(allowed_session session protocol ${base})
set(allowed_device device session protocol ${base})
set(allowed_core core device session protocol ${base})
set(allowed_answers answers core device session protocol ${base})
set(allowed_programming programming core device session protocol ${base})
set(allowed_receipt receipt programming core device session protocol ${base})
set(allowed_replay replay device session protocol ${base})
set(allowed_app app answers programming receipt core device session protocol lang bridge ${base})
set(known protocol session device core answers programming receipt app replay lang emulator bridge ${base})

set(violations "")
foreach(layer protocol session device core answers programming receipt app replay)
  file(GLOB sources "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^#include \"[a-z]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" folder "${line}")
      if(folder IN_LIST known AND NOT folder IN_LIST allowed_${layer})
        file(RELATIVE_PATH name "${ROOT}" "${source}")
        string(REPLACE ";" " " may "${allowed_${layer}}")
        list(APPEND violations "${name}: ${line} (${layer} may include: ${may})")
      endif()
    endforeach()
  endforeach()
endforeach()
if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "A layer includes a layer above it:\n  ${text}")
endif()
