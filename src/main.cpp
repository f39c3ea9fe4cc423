#include <cstdio>
#include <exception>

#include "run/execucao.h"

int main() {
    estado_execucao e;
    try {
        executar(e, arquivo_entrada_padrao);
    } catch (const std::exception& x) {
        std::fprintf(stderr, "placa: %s\n", x.what());
        return 1;
    }
    return 0;
}
