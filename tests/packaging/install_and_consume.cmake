# Installs the build into WORK_DIR/prefix, builds the consumer both ways
# (find_package and pkg-config) with the build's own compiler (and toolchain
# file, when cross-building), and runs the installed tool and both consumers
# from the prefix with the loader path empty: on Linux the installed files
# find the library through their run path, on Windows the DLL lies beside
# the programs in bin/. EMULATOR runs Windows programs on the build machine.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${out}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
set(ENV{LD_LIBRARY_PATH} "")
set(ENV{WINEPATH} "")

set(cross_options)
set(exe "")
set(runtime_path "-Wl,-rpath,${prefix}/lib")
if(TOOLCHAIN)
  set(cross_options -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DCORVANE_WINDOWS_DEPS=${WINDOWS_DEPS})
  set(exe ".exe")
  set(runtime_path "")
endif()

run(${EMULATOR} ${prefix}/bin/corvane${exe} demo ${WORK_DIR}/demo)

run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/cmake-build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} ${cross_options})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)

set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
set(ENV{PKG_CONFIG_LIBDIR} ${prefix}/lib/pkgconfig)
execute_process(COMMAND pkg-config --cflags --libs corvane
  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pkg-config does not know corvane")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
if(WINDOWS_DEPS)  # Boost's headers, as a Windows host gets them from its package manager
  # An import library does not link with -static: the C++ runtime is linked
  # in, the threads runtime DLL goes beside the program.
  list(APPEND flags -I${WINDOWS_DEPS}/include -static-libgcc -static-libstdc++)
  execute_process(COMMAND ${CXX} -print-file-name=libwinpthread-1.dll
    OUTPUT_VARIABLE threads_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
run(${CXX} -Wall -Wextra -Werror ${CONSUMER_DIR}/host.cpp ${flags} ${runtime_path}
    -o ${WORK_DIR}/pkg-host${exe})

# Both consumers run as installed programs: beside the DLL in bin/ on
# Windows, from a folder of their own on Linux.
if(TOOLCHAIN)
  set(run_dir ${prefix}/bin)
else()
  set(run_dir ${WORK_DIR}/consumers)
endif()
file(COPY ${WORK_DIR}/cmake-build/host${exe} ${WORK_DIR}/pkg-host${exe} ${threads_dll}
  DESTINATION ${run_dir})
run(${EMULATOR} ${run_dir}/host${exe} ${WORK_DIR})
run(${EMULATOR} ${run_dir}/pkg-host${exe} ${WORK_DIR})
message(STATUS "installed tool and consumers run from the prefix with the loader path empty")
