#include "commands.h"

int main(int argc, char** argv) {
    return simMain(argc, argv);
}
