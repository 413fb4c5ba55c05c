#include "app/application.h"

int main(int argc, char* argv[]) {
    return pelloran::runApplication(argc, argv);
}
