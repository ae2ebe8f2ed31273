# The hardening Debian gives its packages (dpkg-buildflags with hardening=+all): checked
# buffer functions, stack protection, format-string checks, a read-only relocation table bound
# at start-up, and a position-independent program. Only for builds without the sanitizers,
# which bring checks of their own and do not combine with these.
if(NOT KIVRA_SANITIZE)
    add_compile_options(
        -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2
        -fstack-protector-strong -fstack-clash-protection
        -Wformat -Werror=format-security)
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|amd64|AMD64")
        add_compile_options(-fcf-protection)
    endif()
    add_link_options(-Wl,-z,relro -Wl,-z,now)
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
