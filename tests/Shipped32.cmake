# The shipped program is 32-bit. Where the kernel runs no 32-bit code, the suite
# runs the 64-bit build, and ./orv runs these (label "shipped32") under qemu user
# emulation besides: the 32-bit program's first and later run, driven by the
# 64-bit end-to-end driver, and the unit tests whose outcome depends on bitness
# (record sizes, run-time bound functions and their WINAPI calling convention,
# 64-bit arithmetic in 32-bit code, and the registry's two views as a 32-bit
# program on a 64-bit system sees them). Where the kernel runs 32-bit code, the whole
# suite is 32-bit and these run with it.

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_executable(orv_unit_tests32
        ${CMAKE_SOURCE_DIR}/res/orvane.rc
        unit/TestMain.cpp
        unit/MemoryStatusTest.cpp
        unit/Win32LayerTest.cpp
        unit/ProcessEnumeratorTest.cpp
        unit/CpuUsageTest.cpp
        unit/CpuSampleStateTest.cpp
        unit/LongPathTest.cpp
        unit/SystemHelpersTest.cpp
        unit/AutostartScanTest.cpp
        unit/RemoveRestoreTest.cpp
        unit/ProcessTableTest.cpp
    )
    target_link_libraries(orv_unit_tests32 PRIVATE orv_ui gtest ${ORV_STATIC_LINK})
    # The tests look for themselves by name and for the helper beside them.
    set(ORV_SHIPPED32_DIR ${CMAKE_CURRENT_BINARY_DIR}/shipped32)
    set_target_properties(orv_unit_tests32 PROPERTIES OUTPUT_NAME orv_unit_tests
                                                      RUNTIME_OUTPUT_DIRECTORY ${ORV_SHIPPED32_DIR})
    add_dependencies(orv_unit_tests32 ProcessHelper)
    add_custom_command(TARGET orv_unit_tests32 POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:ProcessHelper> ${ORV_SHIPPED32_DIR}/)
    # Under emulation every program start takes a minute or more: the tests that
    # start helper programs stay with the full suite. There PSAPI cannot name
    # even the program itself, so its walk stays there too. Scans that read a
    # shortcut again and again, now beside the service manager's answers, end
    # the emulator itself, and one that ends mid-scan leaves its probes behind
    # for the retry: they stay with the full suite too.
    add_test(NAME unit32 COMMAND ${WINE_RUN} $<TARGET_FILE:orv_unit_tests32>
        --gtest_filter=-ProcessTableTest.*:AutostartScan.StartupFolder*:AutostartScan.RepeatedScans*:AutostartScan.FullScan*:ProcessEnumerator.ListAtOnce*:*.ListsAStartedProcess*:*.ListsThisProgram*/Psapi:ProcessEnumerator.IdentifierBufferGrows*:ProcessEnumerator.UnreadableExecutable*:VirtualMachines.*:CpuHistorySampling.GoneProcess*)
    # The 64-bit helper starts natively, without emulation.
    set_tests_properties(unit32 PROPERTIES LABELS shipped32 TIMEOUT 900 ENVIRONMENT
        ORV_OTHER_BITNESS_HELPER=${CMAKE_SOURCE_DIR}/build-x64/tests/ProcessHelper.exe)
else()
    set(ORV_SHIPPED_EXE ${CMAKE_SOURCE_DIR}/build/orvane.exe
        CACHE FILEPATH "The 32-bit program the shipped32 end-to-end tests start")
    add_test(NAME e2e32 COMMAND ${WINE_RUN} $<TARGET_FILE:orv_e2e_tests> ${ORV_SHIPPED_EXE}
        --gtest_filter=StartupTest.FirstRun*:StartupTest.LaterRun*)
    set_tests_properties(e2e32 PROPERTIES LABELS shipped32 TIMEOUT 900)
endif()
