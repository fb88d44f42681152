# Fails when a program defines a function that writes a dealer file. Run with -DNM=<nm>,
# -DREADERS=<programs that must not, separated by commas> and -DWRITER=<a program that must, proving the check sees>.
set(writes "fennick::EngineWriter::[A-Za-z]+\\(|fennick::buildIndex\\(|fennick::Pack\\(fennick::cls")

function(written_functions program out)
  execute_process(COMMAND ${NM} -C --defined-only ${program} OUTPUT_VARIABLE symbols
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${program}")
  endif()
  string(REGEX MATCHALL "[^\n]*(${writes})[^\n]*" found "${symbols}")
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

written_functions(${WRITER} found)
if(NOT found)
  message(FATAL_ERROR "no writing function found in ${WRITER}: the check does not see them")
endif()
string(REPLACE "," ";" READERS "${READERS}")
foreach(program IN LISTS READERS)
  written_functions(${program} found)
  if(found)
    message(FATAL_ERROR "${program} can write dealer files:\n${found}")
  endif()
endforeach()
