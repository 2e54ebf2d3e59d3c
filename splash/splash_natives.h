// The natives of the Java class io/tarnwick/tools/SplashScreen. The launcher
// exports them under their JNI names and registers them with the virtual
// machine, so the class finds them either way.
#pragma once

#include <jni.h>

// On the thread that created the virtual machine. A missing class or native
// leaves a Java exception, which is printed and cleared: the launch goes on.
void register_splash_natives(JNIEnv* env);
