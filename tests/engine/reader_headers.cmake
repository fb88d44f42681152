# Fails when a reader header declares an operation that writes a dealer file, or when a writer
# header can be included without a writer library. Run with -DCXX=<compiler> -DROOT=<source
# root> -DVIEW=<reader_view.cpp>.
set(flags -std=c++20 -fsyntax-only -I${ROOT})
set(ENV{LC_ALL} C)  # plain quotes in the diagnostics

# The reader's view compiles: the command line works, so the failures below mean what they say.
execute_process(COMMAND ${CXX} ${flags} ${VIEW} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the reader's view does not compile:\n${errors}")
endif()

# Every write it calls fails to compile.
execute_process(COMMAND ${CXX} ${flags} -DWITH_WRITES ${VIEW} RESULT_VARIABLE status
  ERROR_VARIABLE errors)
if(status EQUAL 0)
  message(FATAL_ERROR "the reader headers declare every write the reader's view calls")
endif()
foreach(operation WriteFile BlockWriteFile LwriteFile DelRec GetRec InitFile PhysicalLock
    LogicalLock ReleaseLock)
  if(NOT errors MATCHES "no member named '${operation}'")
    message(FATAL_ERROR "a reader header declares ${operation}:\n${errors}")
  endif()
endforeach()
foreach(record clsUnits clsUnitsHistory clsUnitsLedger clsUnitnotes clsLines clsInvoiceHistory
    clsInvoiceHistoryDetail)
  if(NOT errors MATCHES "${record}'[^\n]*no member named 'Pack'|no member named 'Pack' in '[a-z:]*${record}'")
    message(FATAL_ERROR "a reader header declares ${record}'s Pack:\n${errors}")
  endif()
endforeach()
if(NOT errors MATCHES "'Pack' was not declared|undeclared identifier 'Pack'")
  message(FATAL_ERROR "a reader header declares a record's Pack:\n${errors}")
endif()

# Every writer header stops a compile that links no writer library.
file(GLOB writers ${ROOT}/engine/engine_writer.h ${ROOT}/engine/index_builder.h
  ${ROOT}/records/*_pack.h ${ROOT}/tools/share_writer.h)
foreach(header IN LISTS writers)
  execute_process(COMMAND ${CXX} -std=c++20 -E -I${ROOT} -x c++ ${header} RESULT_VARIABLE status
    OUTPUT_QUIET ERROR_VARIABLE errors)
  if(status EQUAL 0 OR NOT errors MATCHES "only tools/ and tests may include it")
    message(FATAL_ERROR "${header} compiles without a writer library:\n${errors}")
  endif()
endforeach()
