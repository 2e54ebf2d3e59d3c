#include "splash_natives.h"

#include "local_ref.h"
#include "splash_bridge.h"
#include "splash_output.h"

#include <exception>
#include <string>

namespace {

// The modified UTF-8 characters of a Java string, released on every path.
class java_chars {
public:
    java_chars(JNIEnv* env, jstring text)
        : env(env), text(text), chars(text != nullptr ? env->GetStringUTFChars(text, nullptr) : nullptr)
    {
    }
    ~java_chars()
    {
        if (chars != nullptr)
            env->ReleaseStringUTFChars(text, chars);
    }
    java_chars(const java_chars&) = delete;
    java_chars& operator=(const java_chars&) = delete;

    // Up to the first zero byte; a null string is an empty text.
    std::string bytes() const { return chars != nullptr ? std::string(chars) : std::string(); }

private:
    JNIEnv* env;
    jstring text;
    const char* chars;
};

// No exception may cross into the virtual machine.
template <class Call>
void native_call(Call call) noexcept
{
    try {
        call();
    } catch (const std::exception& e) {
        splash_line(std::string("Splash call failed: ") + e.what());
    } catch (...) {
        splash_line("Splash call failed");
    }
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
        jbyte* elements = data != nullptr ? env->GetByteArrayElements(data, nullptr) : nullptr;
        if (elements != nullptr) {
            const jsize length = env->GetArrayLength(data);
            try {
                png.assign(reinterpret_cast<const unsigned char*>(elements),
                           reinterpret_cast<const unsigned char*>(elements) + length);
            } catch (...) {
                env->ReleaseByteArrayElements(data, elements, 0);
                throw;
            }
            env->ReleaseByteArrayElements(data, elements, 0);
        }
        show_png_splash(std::move(png));
    });
}

JNIEXPORT void JNICALL Java_io_tarnwick_tools_SplashScreen_setFieldImpl(JNIEnv* env, jclass, jint x, jint y,
                                                                        jstring text)
{
    native_call([=] {
        const java_chars chars(env, text);
        set_splash_field(x, y, chars.bytes());
    });
}

JNIEXPORT void JNICALL Java_io_tarnwick_tools_SplashScreen_setProgressImpl(JNIEnv* env, jclass, jint bar_left,
                                                                           jint bar_top, jint bar_width,
                                                                           jint bar_height, jint percent, jint text_x,
                                                                           jint text_y, jstring text)
{
    native_call([=] {
        const java_chars chars(env, text);
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
    const LocalRef<jthrowable> thrown = localRef(env, env->ExceptionOccurred());
    if (thrown) {
        env->ExceptionDescribe();
        env->ExceptionClear();
    }
}
