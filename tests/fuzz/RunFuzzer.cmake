# cmake -DFUZZER=exe -DSEEDS=dir -DWORK=dir -P RunFuzzer.cmake
# Fuzzes for 30 seconds from a fresh copy of the seed corpus.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${SEEDS}/ DESTINATION ${WORK})
execute_process(COMMAND ${FUZZER} -max_total_time=30 -print_final_stats=1 ${WORK}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${FUZZER} found a failing input (exit ${status})")
endif()
