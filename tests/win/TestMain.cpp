#include "TestSupport.h"

int main(int argc, char** argv) {
    return testwin::RunAllTests(argc, argv);
}
