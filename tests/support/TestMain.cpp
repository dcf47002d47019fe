// Every test program runs its tests on one single-threaded COM apartment, as
// the deliverables' own threads do.
#include <gtest/gtest.h>

#include <objbase.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(hr))
        CoUninitialize();
    return result;
}
