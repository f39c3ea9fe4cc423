#include "plataforma_falsa.h"

namespace falsa {
std::vector<std::string> editados;
std::vector<double> relogio;
data_local agora;
static std::size_t leituras = 0;

void reiniciar() {
    editados.clear();
    relogio = {1.0, 1.078125};
    agora = {2026, 12, 7, 14, 5, 9};
    leituras = 0;
}
} // namespace falsa

void executar_editor(const std::string& arquivo) { falsa::editados.push_back(arquivo); }

double tempo_processador() {
    if (falsa::relogio.empty()) return 0.0;
    const double t = falsa::relogio[falsa::leituras < falsa::relogio.size() ? falsa::leituras : falsa::relogio.size() - 1];
    ++falsa::leituras;
    return t;
}

data_local hora_local() { return falsa::agora; }
