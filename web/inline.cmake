# cmake -DPAGE=page.html -DPANEL=panel.js -DPROGRAM=orlavane.js -DOUTPUT=index.html -P inline.cmake
# Writes PAGE with each script in a <script> element in place of its line: "<!-- panel -->" and
# "<!-- program -->".
file(READ "${PAGE}" page)
foreach(part panel program)
  string(TOUPPER ${part} variable)
  file(READ "${${variable}}" script)
  string(FIND "${script}" "</script" closing)
  if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${${variable}} contains </script and cannot be written into the page")
  endif()
  string(FIND "${page}" "<!-- ${part} -->" marker)
  if(marker EQUAL -1)
    message(FATAL_ERROR "${PAGE} has no <!-- ${part} --> line")
  endif()
  string(REPLACE "<!-- ${part} -->" "<script>\n${script}\n</script>" page "${page}")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
