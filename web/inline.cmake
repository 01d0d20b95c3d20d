# cmake -DPAGE=page.html -DSCRIPT=orlavane.js -DOUTPUT=index.html -P inline.cmake
# Writes PAGE with the script SCRIPT in place of its "<!-- program -->" line.
file(READ "${PAGE}" page)
file(READ "${SCRIPT}" script)
string(FIND "${script}" "</script" closing)
if(NOT closing EQUAL -1)
  message(FATAL_ERROR "${SCRIPT} contains </script and cannot be written into the page")
endif()
string(FIND "${page}" "<!-- program -->" marker)
if(marker EQUAL -1)
  message(FATAL_ERROR "${PAGE} has no <!-- program --> line")
endif()
string(REPLACE "<!-- program -->" "<script>\n${script}\n</script>" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
