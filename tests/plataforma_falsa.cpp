// Plataforma falsa dos testes: relógio fixo, editor e programas só registrados, memória comum.
#include "plataforma_falsa.h"

#include <cstdlib>

namespace falsa {
std::vector<std::string> editados;
bool com_editor = true;
std::vector<double> relogio;
data_local agora;
long long memoria = -1;
std::vector<std::vector<std::string>> programas;
std::vector<std::vector<std::string>> filhos;
std::vector<int> codigos_filhos;
static std::size_t leituras = 0;
static std::vector<fim_filho> vivos;

void reiniciar() {
    editados.clear();
    com_editor = true;
    relogio = {1.0, 1.078125};
    agora = {2026, 12, 7, 14, 5, 9};
    leituras = 0;
    memoria = -1;
    programas.clear();
    filhos.clear();
    codigos_filhos.clear();
    vivos.clear();
}
} // namespace falsa

bool ha_editor() { return falsa::com_editor; }
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
conjunto_caracteres conjunto_do_terminal() { return conjunto_caracteres::utf8; }
bool erro_padrao_e_terminal() { return false; }
double carga_do_sistema() { return 0.0; }
std::string nome_da_maquina() { return "maquina-falsa"; }
std::string modelo_do_processador() { return "Processador Falso 1.0 GHz"; }
long long memoria_disponivel() { return falsa::memoria; }
long long pilha_de_thread() { return 8LL << 20; }
int executar_programa(const std::vector<std::string>& argumentos, std::string*) {
    falsa::programas.push_back(argumentos);
    return -1;
}
void* reservar_area(std::size_t bytes) { return std::calloc(bytes == 0 ? 1 : bytes, 1); }
void liberar_area(void* area, std::size_t) { std::free(area); }

std::string programa_atual() { return "/falso/placa"; }
std::string diretorio_atual() { return "/falso/dir"; }

// Filhos falsos: registrados e terminados na ordem de lançamento, com os códigos de falsa::codigos_filhos.
lancamento lancar_filho(const pedido_filho& p) {
    falsa::filhos.push_back(p.argumentos);
    const std::size_t n = falsa::filhos.size();
    const int codigo = n <= falsa::codigos_filhos.size() ? falsa::codigos_filhos[n - 1] : 0;
    falsa::vivos.push_back({static_cast<long>(n), codigo, codigo ? "placa: falha falsa\n" : ""});
    return {static_cast<long>(n), false, {}};
}

void dormir(double) {}
std::string texto_aleatorio(int n) { return std::string(static_cast<std::size_t>(n), 'a'); }

fim_filho esperar_filho() {
    if (falsa::vivos.empty()) return {};
    const fim_filho f = falsa::vivos.front();
    falsa::vivos.erase(falsa::vivos.begin());
    return f;
}
