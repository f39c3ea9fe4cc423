#include <cstdio>
#include <exception>

#include "platform/plataforma.h"
#include "run/execucao.h"

int main(int argc, char** argv) {
    const leitura_opcoes l = interpretar_opcoes(argc, argv);
    if (!l.rodar) return l.codigo;
    instalar_tratamento_de_sinais();
    estado_execucao e;
    try {
        return executar(e, l.opcoes);
    } catch (const std::exception& x) {
        std::fflush(stdout);
        std::fprintf(stderr, "placa: %s\n", x.what());
        return 1;
    }
}
