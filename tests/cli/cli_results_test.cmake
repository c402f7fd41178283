# Runs spanlab-cli as a user would and checks exit codes and output.
# Called with CLI (the program), SRC (source folder) and OUT (a scratch folder).

function(expect_run expected_code)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "'${ARGN}' exited with ${code}, expected ${expected_code}\n${out}\n${err}")
  endif()
  set(OUT_TEXT "${out}" PARENT_SCOPE)
  set(ERR_TEXT "${err}" PARENT_SCOPE)
endfunction()

function(expect_contains text what)
  string(FIND "${text}" "${what}" pos)
  if(pos EQUAL -1)
    message(FATAL_ERROR "expected to find '${what}' in:\n${text}")
  endif()
endfunction()

set(example ${SRC}/examples/two-span-floor-beam.txt)

# JSON: the whole record, the run's messages, internal units (the 42 ft beam is 504 in long).
expect_run(0 ${CLI} results ${example})
expect_contains("${OUT_TEXT}" "\"nNodes\": 202,")
expect_contains("${OUT_TEXT}" "\"length\": 504,")
expect_contains("${OUT_TEXT}" "\"xMinShear\": 360,")
expect_contains("${OUT_TEXT}" "\" 202 Nodes Defined, 404 Degrees of freedom\"")
expect_contains("${OUT_TEXT}" "Equilibrium error: Vert = 0.000 kips;")
expect_contains("${OUT_TEXT}" "\"error\": false")

# CSV: two tables with their headers.
expect_run(0 ${CLI} results ${example} --format csv)
expect_contains("${OUT_TEXT}" "node,x,deflection,rotation,reactionVert,reactionRot\n1,0,0,")
expect_contains("${OUT_TEXT}" "\nelement,ei,releaseEnd,xEnd,length,shearStart,shearEnd,momentStart,momentEnd\n1,12992000,0,")

# CRLF line ends read the same as LF.
file(READ ${example} lf)
string(REPLACE "\n" "\r\n" crlf "${lf}")
file(WRITE ${OUT}/crlf.txt "${crlf}")
expect_run(0 ${CLI} results ${OUT}/crlf.txt)
expect_contains("${OUT_TEXT}" "\"nNodes\": 202,")

# Bad input: a clear message and a non-zero exit, never a crash.
expect_run(1 ${CLI} results ${OUT}/does-not-exist.txt)
expect_contains("${ERR_TEXT}" "cannot open")
expect_run(2 ${CLI} results ${example} --format xml)
expect_run(2 ${CLI} results)
file(WRITE ${OUT}/garbage.txt "\x01\x02 Support: X = 1e999; Disp = 0;\nUniform Load: XStart = 0;\n")
expect_run(0 ${CLI} results ${OUT}/garbage.txt)
