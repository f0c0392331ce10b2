// What Debian's mame 0.251 prints for "mame -showusage", byte for byte: its headings and each
// option with its one-line description. The fake emulator prints it; the tests read it as a
// current emulator's answer. About 19 KB.
#pragma once

inline constexpr char ShowUsage0251[] = R"USAGE(
Usage:  mame [machine] [media] [software] [options]

Options:

#
# CORE CONFIGURATION OPTIONS
#
-readconfig          enable loading of configuration files
-writeconfig         write configuration to (driver).ini on exit

#
# CORE SEARCH PATH OPTIONS
#
-homepath            path to base folder for plugin data (read/write)
-rompath             path to ROM sets and hard disk images
-hashpath            path to software definition files
-samplepath          path to audio sample sets
-artpath             path to artwork files
-ctrlrpath           path to controller definitions
-inipath             path to ini files
-fontpath            path to font files
-cheatpath           path to cheat files
-crosshairpath       path to crosshair files
-pluginspath         path to plugin files
-languagepath        path to UI translation files
-swpath              path to loose software

#
# CORE OUTPUT DIRECTORY OPTIONS
#
-cfg_directory       directory to save configurations
-nvram_directory     directory to save NVRAM contents
-input_directory     directory to save input device logs
-state_directory     directory to save states
-snapshot_directory  directory to save/load screenshots
-diff_directory      directory to save hard drive image difference files
-comment_directory   directory to save debugger comments
-share_directory     directory to share with emulated machines

#
# CORE STATE/PLAYBACK OPTIONS
#
-state               saved state to load
-autosave            automatically restore state on start and save on exit for supported systems
-rewind              enable rewind savestates
-rewind_capacity     rewind buffer size in megabytes
-playback            playback an input file
-record              record an input file
-exit_after_playback close the program at the end of playback
-mngwrite            optional filename to write a MNG movie of the current session
-aviwrite            optional filename to write an AVI movie of the current session
-wavwrite            optional filename to write a WAV file of the current session
-snapname            override of the default snapshot/movie naming; %g == gamename, %i == index
-snapsize            specify snapshot/movie resolution (<width>x<height>) or 'auto' to use minimal size 
-snapview            snapshot/movie view - 'auto' for default, or 'native' for per-screen pixel-aspect views
-snapbilinear        specify if the snapshot/movie should have bilinear filtering applied
-statename           override of the default state subfolder naming; %g == gamename
-burnin              create burn-in snapshots for each screen

#
# CORE PERFORMANCE OPTIONS
#
-autoframeskip       enable automatic frameskip adjustment to maintain emulation speed
-frameskip           set frameskip to fixed value, 0-10 (upper limit with autoframeskip)
-seconds_to_run      number of emulated seconds to run before automatically exiting
-throttle            throttle emulation to keep system running in sync with real time
-sleep               enable sleeping, which gives time back to other applications when idle
-speed               controls the speed of gameplay, relative to realtime; smaller numbers are slower
-refreshspeed        automatically adjust emulation speed to keep the emulated refresh rate slower than the host screen
-lowlatency          draws new frame before throttling to reduce input latency

#
# CORE RENDER OPTIONS
#
-keepaspect          maintain aspect ratio when scaling to fill output screen/window
-unevenstretch       allow non-integer ratios when scaling to fill output screen/window horizontally or vertically
-unevenstretchx      allow non-integer ratios when scaling to fill output screen/window horizontally
-unevenstretchy      allow non-integer ratios when scaling to fill otuput screen/window vertially
-autostretchxy       automatically apply -unevenstretchx/y based on source native orientation
-intoverscan         allow overscan on integer scaled targets
-intscalex           set horizontal integer scale factor
-intscaley           set vertical integer scale factor

#
# CORE ROTATION OPTIONS
#
-rotate              rotate the game screen according to the game's orientation when needed
-ror                 rotate screen clockwise 90 degrees
-rol                 rotate screen counterclockwise 90 degrees
-autoror             automatically rotate screen clockwise 90 degrees if vertical
-autorol             automatically rotate screen counterclockwise 90 degrees if vertical
-flipx               flip screen left-right
-flipy               flip screen upside-down

#
# CORE ARTWORK OPTIONS
#
-artwork_crop        crop artwork so emulated screen image fills output screen/window in one axis
-fallback_artwork    fallback artwork if no external artwork or internal driver layout defined
-override_artwork    override artwork for external artwork and internal driver layout

#
# CORE SCREEN OPTIONS
#
-brightness          default game screen brightness correction
-contrast            default game screen contrast correction
-gamma               default game screen gamma correction
-pause_brightness    amount to scale the screen brightness when paused
-effect              name of a PNG file to use for visual effects, or 'none'

#
# CORE VECTOR OPTIONS
#
-beam_width_min      set vector beam width minimum
-beam_width_max      set vector beam width maximum
-beam_dot_size       set vector beam size for dots
-beam_intensity_weightset vector beam intensity weight 
-flicker             set vector flicker effect

#
# CORE SOUND OPTIONS
#
-samplerate          set sound output sample rate
-samples             enable the use of external samples if available
-volume              sound volume in decibels (-32 min, 0 max)
-compressor          enable compressor for sound
-speaker_report      print report of speaker ouput maxima (0=none, or 1-4 for more detail)

#
# CORE INPUT OPTIONS
#
-coin_lockout        ignore coin inputs if coin lockout output is active
-ctrlr               preconfigure for specified controller
-mouse               enable mouse input
-joystick            enable joystick input
-lightgun            enable lightgun input
-multikeyboard       enable separate input from each keyboard device (if present)
-multimouse          enable separate input from each mouse device (if present)
-steadykey           enable steadykey support
-ui_active           enable user interface on top of emulated keyboard (if present)
-offscreen_reload    convert lightgun button 2 into offscreen reload
-joystick_map        explicit joystick map, or auto to auto-select
-joystick_deadzone   center deadzone range for joystick where change is ignored (0.0 center, 1.0 end)
-joystick_saturation end of axis saturation range for joystick where change is ignored (0.0 center, 1.0 end)
-natural             specifies whether to use a natural keyboard or not
-joystick_contradictoryenable contradictory direction digital joystick input at the same time
-coin_impulse        set coin impulse time (n<0 disable impulse, n==0 obey driver, 0<n set time n)

#
# CORE INPUT AUTOMATIC ENABLE OPTIONS
#
-paddle_device       enable (none|keyboard|mouse|lightgun|joystick) if a paddle control is present
-adstick_device      enable (none|keyboard|mouse|lightgun|joystick) if an analog joystick control is present
-pedal_device        enable (none|keyboard|mouse|lightgun|joystick) if a pedal control is present
-dial_device         enable (none|keyboard|mouse|lightgun|joystick) if a dial control is present
-trackball_device    enable (none|keyboard|mouse|lightgun|joystick) if a trackball control is present
-lightgun_device     enable (none|keyboard|mouse|lightgun|joystick) if a lightgun control is present
-positional_device   enable (none|keyboard|mouse|lightgun|joystick) if a positional control is present
-mouse_device        enable (none|keyboard|mouse|lightgun|joystick) if a mouse control is present

#
# CORE DEBUGGING OPTIONS
#
-verbose             display additional diagnostic information
-log                 generate an error.log file
-oslog               output error.log data to system diagnostic output (debugger or standard error)
-debug               enable/disable debugger
-update_in_pause     keep calling video updates while in pause
-debugscript         script for debugger
-debuglog            write debug console output to debug.log

#
# CORE COMM OPTIONS
#
-comm_localhost      local address to bind to
-comm_localport      local port to bind to
-comm_remotehost     remote address to connect to
-comm_remoteport     remote port to connect to
-comm_framesync      sync frames

#
# CORE MISC OPTIONS
#
-drc                 enable DRC CPU core if available
-drc_use_c           force DRC to use C backend
-drc_log_uml         write DRC UML disassembly log
-drc_log_native      write DRC native disassembly log
-bios                select the system BIOS to use
-cheat               enable cheat subsystem
-skip_gameinfo       skip displaying the system information screen at startup
-uifont              specify a font to use
-ui                  type of UI (simple|cabinet)
-ramsize             size of RAM (if supported by driver)
-confirm_quit        ask for confirmation before exiting
-ui_mouse            display UI mouse cursor
-language            set UI display language
-nvram_save          save NVRAM data on exit

#
# SCRIPTING OPTIONS
#
-autoboot_command    command to execute after machine boot
-autoboot_delay      delay before executing autoboot command (seconds)
-autoboot_script     Lua script to execute after machine boot
-console             enable emulator Lua console
-plugins             enable Lua plugin support
-plugin              list of plugins to enable
-noplugin            list of plugins to disable

#
# HTTP SERVER OPTIONS
#
-http                enable HTTP server
-http_port           HTTP server port
-http_root           HTTP server document root

#
# OSD KEYBOARD MAPPING OPTIONS
#
-uimodekey           key to enable/disable MAME controls when emulated system has keyboard inputs

#
# OSD FONT OPTIONS
#
-uifontprovider      provider for UI font: sdl or none

#
# OSD OUTPUT OPTIONS
#
-output              provider for output notifications: none, console or network

#
# OSD INPUT OPTIONS
#
-keyboardprovider    provider for keyboard input: sdl or none
-mouseprovider       provider for mouse input: sdl or none
-lightgunprovider    provider for lightgun input: none
-joystickprovider    provider for joystick input: sdl or none

#
# OSD CLI OPTIONS
#
-listmidi            list available MIDI I/O devices
-listnetwork         list available network adapters

#
# OSD DEBUGGING OPTIONS
#
-debugger            debugger used: qt, imgui, gdbstub or none
-debugger_port       port to use for gdbstub debugger
-debugger_font       font to use for debugger views
-debugger_font_size  font size to use for debugger views
-watchdog            force the program to terminate if no updates within specified number of seconds

#
# OSD PERFORMANCE OPTIONS
#
-numprocessors       number of processors; this overrides the number the system reports
-bench               benchmark for the given number of emulated seconds; implies -video none -sound none -nothrottle

#
# OSD VIDEO OPTIONS
#
-video               video output method: none, soft, accel, opengl or bgfx
-numscreens          number of output screens/windows to create; usually, you want just one
-window              enable window mode; otherwise, full screen mode is assumed
-maximize            default to maximized windows
-waitvsync           enable waiting for the start of VBLANK before flipping screens (reduces tearing effects)
-syncrefresh         enable using the start of VBLANK for throttling instead of the game time
-monitorprovider     monitor discovery method: sdl

#
# OSD PER-WINDOW VIDEO OPTIONS
#
-screen              explicit name of the first screen; 'auto' here will try to make a best guess
-aspect              aspect ratio for all screens; 'auto' here will try to make a best guess
-resolution          preferred resolution for all screens; format is <width>x<height>[@<refreshrate>] or 'auto'
-view                preferred view for all screens
-screen0             explicit name of the first screen; 'auto' here will try to make a best guess
-aspect0             aspect ratio of the first screen; 'auto' here will try to make a best guess
-resolution0         preferred resolution of the first screen; format is <width>x<height>[@<refreshrate>] or 'auto'
-view0               preferred view for the first screen
-screen1             explicit name of the second screen; 'auto' here will try to make a best guess
-aspect1             aspect ratio of the second screen; 'auto' here will try to make a best guess
-resolution1         preferred resolution of the second screen; format is <width>x<height>[@<refreshrate>] or 'auto'
-view1               preferred view for the second screen
-screen2             explicit name of the third screen; 'auto' here will try to make a best guess
-aspect2             aspect ratio of the third screen; 'auto' here will try to make a best guess
-resolution2         preferred resolution of the third screen; format is <width>x<height>[@<refreshrate>] or 'auto'
-view2               preferred view for the third screen
-screen3             explicit name of the fourth screen; 'auto' here will try to make a best guess
-aspect3             aspect ratio of the fourth screen; 'auto' here will try to make a best guess
-resolution3         preferred resolution of the fourth screen; format is <width>x<height>[@<refreshrate>] or 'auto'
-view3               preferred view for the fourth screen

#
# OSD FULL SCREEN OPTIONS
#
-switchres           enable resolution switching

#
# OSD ACCELERATED VIDEO OPTIONS
#
-filter              use bilinear filtering when scaling emulated video
-prescale            scale emulated video by this factor before applying filters/shaders

#
# OpenGL-SPECIFIC OPTIONS
#
-gl_forcepow2texture force power-of-two texture sizes (default no)
-gl_notexturerect    don't use OpenGL GL_ARB_texture_rectangle (default on)
-gl_vbo              enable OpenGL VBO if available (default on)
-gl_pbo              enable OpenGL PBO if available (default on)
-gl_glsl             enable OpenGL GLSL if available (default off)
-gl_glsl_filter      enable OpenGL GLSL filtering instead of FF filtering 0-plain, 1-bilinear (default), 2-bicubic
-glsl_shader_mame0   custom OpenGL GLSL shader set mame bitmap 0
-glsl_shader_mame1   custom OpenGL GLSL shader set mame bitmap 1
-glsl_shader_mame2   custom OpenGL GLSL shader set mame bitmap 2
-glsl_shader_mame3   custom OpenGL GLSL shader set mame bitmap 3
-glsl_shader_mame4   custom OpenGL GLSL shader set mame bitmap 4
-glsl_shader_mame5   custom OpenGL GLSL shader set mame bitmap 5
-glsl_shader_mame6   custom OpenGL GLSL shader set mame bitmap 6
-glsl_shader_mame7   custom OpenGL GLSL shader set mame bitmap 7
-glsl_shader_mame8   custom OpenGL GLSL shader set mame bitmap 8
-glsl_shader_mame9   custom OpenGL GLSL shader set mame bitmap 9
-glsl_shader_screen0 custom OpenGL GLSL shader screen bitmap 0
-glsl_shader_screen1 custom OpenGL GLSL shader screen bitmap 1
-glsl_shader_screen2 custom OpenGL GLSL shader screen bitmap 2
-glsl_shader_screen3 custom OpenGL GLSL shader screen bitmap 3
-glsl_shader_screen4 custom OpenGL GLSL shader screen bitmap 4
-glsl_shader_screen5 custom OpenGL GLSL shader screen bitmap 5
-glsl_shader_screen6 custom OpenGL GLSL shader screen bitmap 6
-glsl_shader_screen7 custom OpenGL GLSL shader screen bitmap 7
-glsl_shader_screen8 custom OpenGL GLSL shader screen bitmap 8
-glsl_shader_screen9 custom OpenGL GLSL shader screen bitmap 9

#
# OSD SOUND OPTIONS
#
-sound               sound output method: sdl, portaudio, pulse or none
-audio_latency       set audio latency (increase to reduce glitches, decrease for responsiveness)

#
# PORTAUDIO OPTIONS
#
-pa_api              PortAudio API
-pa_device           PortAudio device
-pa_latency          suggested latency in seconds, 0 for default

#
# BGFX POST-PROCESSING OPTIONS
#
-bgfx_path           path to BGFX-related files
-bgfx_backend        BGFX backend to use (d3d9, d3d11, d3d12, metal, opengl, gles, vulkan)
-bgfx_debug          enable BGFX debugging statistics
-bgfx_screen_chains  comma-delimited list of screen chain JSON names, colon-delimited per-window
-bgfx_shadow_mask    shadow mask texture name
-bgfx_lut            LUT texture name
-bgfx_avi_name       filename for BGFX output logging

#
# SDL PERFORMANCE OPTIONS
#
-sdlvideofps         show sdl video performance

#
# SDL VIDEO OPTIONS
#
-centerh             center horizontally within the view area
-centerv             center vertically within the view area
-scalemode           Scale mode: none, hwblit, hwbest, yv12, yuy2, yv12x2, yuy2x2 (-video soft only)

#
# SDL FULL SCREEN OPTIONS
#
-useallheads         split full screen image across monitors
-attach_window       attach to arbitrary window

#
# SDL KEYBOARD MAPPING
#
-keymap              enable keymap
-keymap_file         keymap filename

#
# SDL JOYSTICK MAPPING
#
-sixaxis             use special handling for PS3 Sixaxis controllers

#
# SDL LIGHTGUN MAPPING
#
-lightgun_index1     name of lightgun mapped to lightgun #1
-lightgun_index2     name of lightgun mapped to lightgun #2
-lightgun_index3     name of lightgun mapped to lightgun #3
-lightgun_index4     name of lightgun mapped to lightgun #4
-lightgun_index5     name of lightgun mapped to lightgun #5
-lightgun_index6     name of lightgun mapped to lightgun #6
-lightgun_index7     name of lightgun mapped to lightgun #7
-lightgun_index8     name of lightgun mapped to lightgun #8

#
# SDL LOW-LEVEL DRIVER OPTIONS
#
-videodriver         SDL video driver to use ('x11', 'directfb', ... or 'auto' for SDL default
-renderdriver        SDL render driver to use ('software', 'opengl', 'directfb' ... or 'auto' for SDL default
-audiodriver         SDL audio driver to use ('alsa', 'arts', ... or 'auto' for SDL default
-gl_lib              alternative libGL.so to use; 'auto' for system default

#
# CORE COMMANDS
#
-help                show help message
-validate            perform validation on system drivers and devices

#
# CONFIGURATION COMMANDS
#
-createconfig        create the default configuration file
-showconfig          display running parameters
-showusage           show this help

#
# FRONTEND COMMANDS
#
-listxml             all available info on driver in XML format
-listfull            short name, full name
-listsource          driver sourcefile
-listclones          show clones
-listbrothers        show "brothers", or other drivers from same sourcefile
-listcrc             CRC-32s
-listroms            list required ROMs for a driver
-listsamples         list optional samples for a driver
-verifyroms          report romsets that have problems
-verifysamples       report samplesets that have problems
-romident            compare files with known MAME ROMs
-listdevices         list available devices
-listslots           list available slots and slot devices
-listmedia           list available media for the system
-listsoftware        list known software for the system
-verifysoftware      verify known software for the system
-getsoftlist         retrieve software list by name
-verifysoftlist      verify software list by name
-version             get MAME version

#
# FRONTEND COMMAND OPTIONS
#
-dtd                 include DTD in XML output
)USAGE";
