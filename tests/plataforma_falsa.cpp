// Plataforma falsa dos testes: relógio fixo, editor e programas só registrados, memória comum.
#include "plataforma_falsa.h"

#include <cstdlib>

namespace falsa {
std::vector<std::string> editados;
std::vector<double> relogio;
data_local agora;
long long memoria = -1;
std::vector<std::vector<std::string>> programas;
static std::size_t leituras = 0;

void reiniciar() {
    editados.clear();
    relogio = {1.0, 1.078125};
    agora = {2026, 12, 7, 14, 5, 9};
    leituras = 0;
    memoria = -1;
    programas.clear();
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

double tempo_parede() { return 0.0; }
int processadores_disponiveis() { return 2; }
double carga_do_sistema() { return 0.0; }
long long memoria_disponivel() { return falsa::memoria; }
int executar_programa(const std::vector<std::string>& argumentos) {
    falsa::programas.push_back(argumentos);
    return -1;
}
void* reservar_area(std::size_t bytes) { return std::calloc(bytes == 0 ? 1 : bytes, 1); }
void liberar_area(void* area, std::size_t) { std::free(area); }
