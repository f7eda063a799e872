#include "print/fontwarmup.h"

#ifdef HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontWarmUp::FontWarmUp()
{
#ifdef HAVE_FONTCONFIG
    // fontconfig keeps the first configuration it reads and hands the same one
    // to every later caller, the toolkit's font database included.
    m_thread = std::thread([] { FcInit(); });
#endif
}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
