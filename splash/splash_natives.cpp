// The SplashScreen natives: each hands its copied arguments to the bridge
// behind a barrier, so that no C++ exception reaches the virtual machine.
#include "splash_natives.h"

#include "array_elements.h"
#include "exception_barrier.h"
#include "java_chars.h"
#include "java_exception.h"
#include "local_ref.h"
#include "splash_bridge.h"
#include "splash_output.h"

#include <string>
#include <utility>

namespace {

// No exception may cross into the virtual machine.
template <class Call>
void native_call(Call&& call) noexcept
{
    exceptionBarrier("Splash call failed", std::forward<Call>(call), [](const std::string& line) { splash_line(line); });
}

} // namespace

extern "C" {

JNIEXPORT void JNICALL Java_io_tarnwick_tools_SplashScreen_showResourceSplashImpl(JNIEnv*, jclass)
{
    native_call([] { show_resource_splash(); });
}

JNIEXPORT void JNICALL Java_io_tarnwick_tools_SplashScreen_showPNGSplashImpl(JNIEnv* env, jclass, jbyteArray data)
{
    native_call([env, data] {
        // A null array, or elements the virtual machine cannot give, count as
        // an empty picture.
        splash_bytes png;
        {
            const ByteArrayElements elements(env, data);
            png.assign(elements.begin(), elements.end());
        }
        show_png_splash(std::move(png));
    });
}

JNIEXPORT void JNICALL Java_io_tarnwick_tools_SplashScreen_setFieldImpl(JNIEnv* env, jclass, jint x, jint y,
                                                                        jstring text)
{
    native_call([=] {
        const JavaChars chars(env, text);
        set_splash_field(x, y, chars.bytes());
    });
}

JNIEXPORT void JNICALL Java_io_tarnwick_tools_SplashScreen_setProgressImpl(JNIEnv* env, jclass, jint bar_left,
                                                                           jint bar_top, jint bar_width,
                                                                           jint bar_height, jint percent, jint text_x,
                                                                           jint text_y, jstring text)
{
    native_call([=] {
        const JavaChars chars(env, text);
        // The Java side cannot keep a progress drawing in the picture.
        set_splash_progress({bar_left, bar_top, bar_width, bar_height, percent, text_x, text_y}, chars.bytes(), false);
    });
}

JNIEXPORT void JNICALL Java_io_tarnwick_tools_SplashScreen_hideSplashImpl(JNIEnv*, jclass)
{
    native_call([] { hide_splash(); });
}

} // extern "C"

void register_splash_natives(JNIEnv* env)
{
    static const JNINativeMethod methods[] = {
        {const_cast<char*>("showResourceSplashImpl"), const_cast<char*>("()V"),
         reinterpret_cast<void*>(&Java_io_tarnwick_tools_SplashScreen_showResourceSplashImpl)},
        {const_cast<char*>("showPNGSplashImpl"), const_cast<char*>("([B)V"),
         reinterpret_cast<void*>(&Java_io_tarnwick_tools_SplashScreen_showPNGSplashImpl)},
        {const_cast<char*>("setFieldImpl"), const_cast<char*>("(IILjava/lang/String;)V"),
         reinterpret_cast<void*>(&Java_io_tarnwick_tools_SplashScreen_setFieldImpl)},
        {const_cast<char*>("setProgressImpl"), const_cast<char*>("(IIIIIIILjava/lang/String;)V"),
         reinterpret_cast<void*>(&Java_io_tarnwick_tools_SplashScreen_setProgressImpl)},
        {const_cast<char*>("hideSplashImpl"), const_cast<char*>("()V"),
         reinterpret_cast<void*>(&Java_io_tarnwick_tools_SplashScreen_hideSplashImpl)},
    };
    const LocalRef<jclass> splash_class = localRef(env, env->FindClass("io/tarnwick/tools/SplashScreen"));
    if (splash_class)
        env->RegisterNatives(splash_class.get(), methods, static_cast<jint>(sizeof methods / sizeof methods[0]));
    describeAndClearException(env);
}
