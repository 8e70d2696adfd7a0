# cmake -DTEMPLATE=page.html -DSTYLE=page.css -DSCRIPT=page.js -DMODULE=page_module.js
#       -DOUTPUT=bmp2land.html -P assemble_page.cmake
# Puts the style, the compiled module (its WebAssembly inlined) and the page's
# script into the template's placeholders: one file that needs nothing else.
foreach(part TEMPLATE STYLE SCRIPT MODULE)
  file(READ ${${part}} ${part}_TEXT)
endforeach()
foreach(part SCRIPT MODULE)
  string(TOLOWER "${${part}_TEXT}" lower)
  string(FIND "${lower}" "</script" closing)
  if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${${part}} holds \"</script\", which would end its script element early")
  endif()
endforeach()
set(page "${TEMPLATE_TEXT}")
foreach(part STYLE MODULE SCRIPT)
  string(FIND "${page}" "/*@${part}@*/" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${TEMPLATE} has no /*@${part}@*/ placeholder")
  endif()
  string(REPLACE "/*@${part}@*/" "${${part}_TEXT}" page "${page}")
endforeach()
file(WRITE ${OUTPUT} "${page}")
