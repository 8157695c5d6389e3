#include <benchmark/benchmark.h>

#ifdef QT_CORE_LIB
#include <QGuiApplication>
#endif

int main(int argc, char** argv)
{
#ifdef QT_CORE_LIB
    // The paint benchmark draws text into images; fonts need an application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
