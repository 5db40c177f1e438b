# The tests of the Windows build. ctest runs each test program under wine
# (scripts/wine_run.sh, the toolchain's emulator); the Linux-only tests (fork,
# file modes, the ELF library file, sox and the encoders, the Qt window) are
# not built here.

# Pelgrin32: the decoders, the DLL's exports and processes sharing the area.
feltrix_add_test(pelgrin32_decoder_tests
  SOURCES interface_library/plain_index_test.cpp
          interface_library/extended_index_test.cpp interface_library/out_of_limits_test.cpp
  LIBS pelgrin32_decoders)
add_executable(pelgrin32_client interface_library/pelgrin32_client.cpp)
target_include_directories(pelgrin32_client PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(pelgrin32_client PRIVATE pelgrin32 GTest::gtest)
feltrix_add_test(pelgrin32_library_tests SOURCES interface_library/processes_test.cpp LIBS pelgrin32)
add_dependencies(pelgrin32_library_tests pelgrin32_client)
target_compile_definitions(pelgrin32_library_tests PRIVATE PELGRIN32_CLIENT="$<TARGET_FILE:pelgrin32_client>")
feltrix_add_test(pelgrin32_thread_tests SOURCES interface_library/threads_test.cpp LIBS pelgrin32)
# Exactly the sixteen undecorated names in the DLL's export table.
find_program(FELTRIX_OBJDUMP ${FELTRIX_TRIPLE}-objdump REQUIRED)
add_test(NAME pelgrin32_export_table
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/interface_library/export_table_test.sh ${FELTRIX_OBJDUMP}
          $<TARGET_FILE:pelgrin32>)

# The program: start-up, init script, update cycle, errors, passthrough with a
# real pipe, configuration files, and the install path in the registry.
feltrix_add_test(app_tests
  SOURCES app/script_host_test.cpp app/command_line_test.cpp app/config_file_test.cpp app/config_functions_test.cpp
          app/console_test_win32.cpp app/osc_functions_test.cpp
  LIBS feltrix_core
  # (A sound server's absence does not reach wine's own audio drivers.)
  DISABLED Startup.WithoutASoundDeviceTheBoxNamesWhatFailed)
add_dependencies(app_tests feltrix)
# Feltrix.exe's OSC output, received on the Linux side by liblo's Python module.
add_test(NAME osc_output_under_wine
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/app/osc_output_test.sh ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:feltrix>)
feltrix_add_test(app_lock_tests SOURCES app/script_lock_test.cpp LIBS feltrix_core)
add_test(NAME install_path_registry
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/app/install_path_registry_test.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:feltrix>)
# Alone: other tests run copies of the program, which record their own path.
set_tests_properties(install_path_registry PROPERTIES RUN_SERIAL TRUE ENVIRONMENT FELTRIX_AUTOMATION=1)

# The sound-file decoders on files made in memory, the mixer, the audio engine
# and the audio script functions. The cases that compare with sox, lame and
# oggdec (or make their files with them) need those Linux programs, which a
# Windows program cannot start: they run in the Linux build only.
add_library(feltrix_audio_test_files STATIC audio/audio_test_files.cpp)
target_link_libraries(feltrix_audio_test_files PUBLIC feltrix_core feltrix_test_support)
feltrix_add_test(decoder_tests
  SOURCES audio/decoder_wav_test.cpp audio/decoder_mp3_test.cpp audio/decoder_ogg_test.cpp
  LIBS feltrix_audio_test_files
  DISABLED WavReader.DecodesWhatSoxDecodes Mp3Reader.DecodesWhatLameDecodes
           Mp3Reader.FindsTheFirstHeaderAfterAnId3Tag OggReader.ChainedFilesPlayTheLinksOfTheFirstLayout)
feltrix_add_test(audio_functions_tests audio/audio_functions_test.cpp LIBS feltrix_audio_test_files)
add_dependencies(audio_functions_tests feltrix)
feltrix_add_test(audio_mixer_tests audio/mixer_test.cpp LIBS feltrix_audio_test_files)
# (Its Ogg case makes its file with sox, which a Windows program cannot start.)
feltrix_add_test(audio_engine_threaded_tests audio/engine_threaded_test.cpp LIBS feltrix_audio_test_files
  DISABLED EngineThreaded.ClearingDuringAnOggBackgroundDecode)

# The script GUI: the registry on the in-memory window system, and the GUI
# functions as scripts see them, run by Feltrix.exe in its Win32 window.
feltrix_add_test(gui_registry_tests SOURCES gui/item_registry_test.cpp gui/system_error_test_win32.cpp LIBS feltrix_core)
feltrix_add_test(gui_script_tests SOURCES gui/gui_script_test.cpp)
add_dependencies(gui_script_tests feltrix)

# The amplifier link: snapshot and publication, the real DLL, and the program
# reading what a writer process put in the area.
feltrix_add_test(hostlink_tests
  SOURCES hostlink/host_variables_test.cpp hostlink/host_publication_test.cpp
  LIBS feltrix_core pelgrin32_decoders)
target_compile_definitions(hostlink_tests PRIVATE PELGRIN32_LIBRARY="$<TARGET_FILE:pelgrin32>")
add_dependencies(hostlink_tests pelgrin32)
feltrix_add_test(hostlink_program_tests SOURCES hostlink/program_test.cpp LIBS pelgrin32)
add_dependencies(hostlink_program_tests feltrix pelgrin32)

# One sound test: what Feltrix.exe plays, recorded from a null sink.
add_test(NAME engine_sound_under_wine
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/audio/engine_sound_test_win32.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:feltrix>)

# Feltrix.exe's window with real input (xdotool) and a screenshot of its
# rectangles. Alone: no other window may cover it or take the pointer.
add_executable(hide_console windows/hide_console_win32.cpp)
add_test(NAME window_input_under_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/gui_input_test.sh $<TARGET_FILE:feltrix>
          $<TARGET_FILE:hide_console>)
set_tests_properties(window_input_under_wine PROPERTIES RUN_SERIAL TRUE TIMEOUT 240)

# The installer: silent install, the demo from its Start-menu entry (heard
# through the test sound server), silent uninstall leaving nothing behind.
add_test(NAME installer_under_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/installer_test.sh ${CMAKE_BINARY_DIR}/Feltrix-setup.exe
          $<TARGET_FILE:hide_console>)
set_tests_properties(installer_under_wine PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)

# The stand-in: its measures and recordings, and the program writing through
# PELGRIN32.DLL while this test reads (stopped with Ctrl-Break, which
# background_program_win32.cpp sends). The EDF cases need edflib, which the
# Windows build has only when Debian's source package could be fetched.
set(eegsim_test_sources tools/eegsim_statistics_test.cpp tools/eegsim_recording_test.cpp tools/osc_map_test.cpp)
set(eegsim_program_disabled "")
if(EDF_LIBRARY AND EDF_INCLUDE_DIR)
  list(APPEND eegsim_test_sources tools/eegsim_sources_test.cpp)
else()
  set(eegsim_program_disabled EegsimProgram.ProblemsAreReportedBeforeAnythingIsWritten)
endif()
feltrix_add_test(eegsim_tests SOURCES ${eegsim_test_sources} LIBS eegsim_core)
target_compile_definitions(eegsim_tests PRIVATE OSC_MAPS_DIR="${CMAKE_SOURCE_DIR}/docs/osc-maps")
feltrix_add_test(eegsim_program_tests SOURCES tools/eegsim_program_test.cpp windows/background_program_win32.cpp
  LIBS eegsim_system DISABLED ${eegsim_program_disabled})
target_compile_definitions(eegsim_program_tests PRIVATE EEGSIM_PROGRAM="$<TARGET_FILE:feltrix-acquire>"
  PELGRIN32_LIBRARY="$<TARGET_FILE:pelgrin32>")
add_dependencies(eegsim_program_tests feltrix-acquire pelgrin32)

# feltrix-render.exe run as a program, on the demo folder made here. (The
# error messages name the output file as the system writes its full path, with
# backslashes on Windows; the table expects the Linux form.)
feltrix_add_test(render_tests SOURCES tools/render_test.cpp LIBS feltrix_render_core
  DISABLED Render.ErrorsAreOneLineAndExitCode1)
target_compile_definitions(render_tests PRIVATE FELTRIX_RENDER="$<TARGET_FILE:feltrix-render>")
add_dependencies(render_tests feltrix-render demo)

# Live OSC input into feltrix-acquire.exe under wine, sent by the Linux
# oscsend and python3-liblo to its UDP port.
add_test(NAME osc_input_under_wine COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/tools/osc_input_test.py --wine
  $<TARGET_FILE:feltrix-acquire>)
set_tests_properties(osc_input_under_wine PROPERTIES TIMEOUT 300)

# Both programs as a user runs them: a recording made by the stand-in,
# rendered to WAV and FLAC.
add_test(NAME companions_under_wine
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows/companions_test.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:feltrix-acquire> $<TARGET_FILE:feltrix-render> ${CMAKE_BINARY_DIR}/demo/FeltrixInit.lj)

# The monitor's live view in a real console (wine's), read back from the
# console's screen buffer.
add_executable(console_view_check windows/console_view_check.cpp)
add_test(NAME monitor_console_under_wine COMMAND console_view_check $<TARGET_FILE:feltrix-acquire>)
set_tests_properties(monitor_console_under_wine PROPERTIES TIMEOUT 120)

# The monitor beside a writer process through PELGRIN32.DLL, and its
# recording rendered (the full-disk case needs a file size limit: Linux only).
feltrix_add_test(eegsim_monitor_tests SOURCES tools/eegsim_monitor_test.cpp windows/background_program_win32.cpp
  LIBS eegsim_monitor feltrix_render_core)
target_compile_definitions(eegsim_monitor_tests PRIVATE EEGSIM_PROGRAM="$<TARGET_FILE:feltrix-acquire>"
  FELTRIX_RENDER="$<TARGET_FILE:feltrix-render>")
add_dependencies(eegsim_monitor_tests feltrix-acquire feltrix-render pelgrin32)
