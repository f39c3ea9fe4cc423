// As tabelas dos componentes do método: uma linha por suavizador, restrição, ciclo, interpolação, operador grosso e
// engrossamento.
#include "state/componentes.h"

namespace {

using S = tipo_suavizador;
using F = forma_simbolo;
using Q = rascunho_suavizador;

// Jacobi amortecido com 4/5: o fator de suavização ótimo do Jacobi pontual no laplaciano de cinco pontos.
constexpr componente_suavizador tabela_suavizadores[] = {
    {S::gs_lex, "gs-lex", true, 1.0, 1.0, Q::nenhum, F::gs_frente, true, false},
    {S::gs_rb, "gs-rb", true, 1.0, 1.0, Q::nenhum, F::vermelho_preto, true, true},
    {S::jacobi, "jacobi", true, 0.8, 1.0, Q::nivel, F::jacobi, true, true},
    {S::gs_sym, "gs-sym", true, 1.0, 2.0, Q::nenhum, F::gs_ida_e_volta, false, false},
    {S::linha_x, "line-x", false, 1.0, 1.0, Q::linhas, F::linhas_x, false, false},
    {S::linha_y, "line-y", false, 1.0, 1.0, Q::linhas, F::linhas_y, false, false},
    {S::linha_alt, "line-alt", false, 1.0, 2.0, Q::linhas, F::linhas_y_e_x, false, false},
};

// transpose: R = P^T / 4 (semiengrossamento: P^T / 2), a transposta da interpolação da rodada com os pesos somando 1
constexpr componente_restricao tabela_restricoes[] = {
    {tipo_restricao::injecao, "injection", forma_restricao::injecao, false, true, true},
    {tipo_restricao::meia, "half", forma_restricao::meia, true, true, false},
    {tipo_restricao::completa, "full", forma_restricao::completa, true, true, true},
    {tipo_restricao::transposta, "transpose", forma_restricao::transposta, true, false, true},
};

constexpr componente_interpolacao tabela_interpolacoes[] = {
    {tipo_interpolacao::bilinear, "bilinear", true},
    {tipo_interpolacao::operador, "operator", false},
};

constexpr componente_operador_grosso tabela_operadores_grossos[] = {
    {tipo_operador_grosso::rediscretizado, "rediscretize"},
    {tipo_operador_grosso::galerkin, "galerkin"},
};

constexpr componente_engrossamento tabela_engrossamentos[] = {
    {tipo_engrossamento::completo, "full", true, true},
    {tipo_engrossamento::x, "x", true, false},
    {tipo_engrossamento::y, "y", false, true},
};

// V: um V abaixo; W: dois W; F: um F e depois um V.
constexpr componente_ciclo tabela_ciclos[] = {
    {tipo_ciclo::V, "V", 1, {tipo_ciclo::V, tipo_ciclo::V}},
    {tipo_ciclo::W, "W", 2, {tipo_ciclo::W, tipo_ciclo::W}},
    {tipo_ciclo::F, "F", 2, {tipo_ciclo::F, tipo_ciclo::V}},
};

// Cada linha no lugar do seu tipo: a tabela é indexada por ele.
template <class T, std::size_t N>
constexpr bool em_ordem(const T (&t)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<std::size_t>(t[i].tipo) != i) return false;
    return true;
}
static_assert(em_ordem(tabela_suavizadores) && em_ordem(tabela_restricoes) && em_ordem(tabela_ciclos) &&
              em_ordem(tabela_interpolacoes) && em_ordem(tabela_operadores_grossos) &&
              em_ordem(tabela_engrossamentos));

template <class T>
const T* de_nome(std::span<const T> t, std::string_view nome) {
    for (const T& c : t)
        if (nome == c.nome) return &c;
    return nullptr;
}

template <class T>
std::string nomes(std::span<const T> t, const char* ou) {
    std::string s;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (i > 0) s += i + 1 == t.size() && *ou ? std::string(" ") + ou + " " : std::string(", ");
        s += t[i].nome;
    }
    return s;
}

} // namespace

std::span<const componente_suavizador> suavizadores() { return tabela_suavizadores; }
std::span<const componente_restricao> restricoes() { return tabela_restricoes; }
std::span<const componente_ciclo> ciclos() { return tabela_ciclos; }
std::span<const componente_interpolacao> interpolacoes() { return tabela_interpolacoes; }
std::span<const componente_operador_grosso> operadores_grossos() { return tabela_operadores_grossos; }
std::span<const componente_engrossamento> engrossamentos() { return tabela_engrossamentos; }

const componente_suavizador& componente(tipo_suavizador s) { return tabela_suavizadores[static_cast<int>(s)]; }
const componente_restricao& componente(tipo_restricao r) { return tabela_restricoes[static_cast<int>(r)]; }
const componente_ciclo& componente(tipo_ciclo c) { return tabela_ciclos[static_cast<int>(c)]; }
const componente_interpolacao& componente(tipo_interpolacao i) { return tabela_interpolacoes[static_cast<int>(i)]; }
const componente_operador_grosso& componente(tipo_operador_grosso o) {
    return tabela_operadores_grossos[static_cast<int>(o)];
}
const componente_engrossamento& componente(tipo_engrossamento g) { return tabela_engrossamentos[static_cast<int>(g)]; }

const componente_suavizador* suavizador_de_nome(std::string_view nome) { return de_nome(suavizadores(), nome); }
const componente_restricao* restricao_de_nome(std::string_view nome) { return de_nome(restricoes(), nome); }
const componente_ciclo* ciclo_de_nome(std::string_view nome) { return de_nome(ciclos(), nome); }
const componente_interpolacao* interpolacao_de_nome(std::string_view nome) { return de_nome(interpolacoes(), nome); }
const componente_operador_grosso* operador_grosso_de_nome(std::string_view nome) {
    return de_nome(operadores_grossos(), nome);
}
const componente_engrossamento* engrossamento_de_nome(std::string_view nome) { return de_nome(engrossamentos(), nome); }

std::string nomes_de_suavizadores(const char* ou) { return nomes(suavizadores(), ou); }
std::string nomes_de_restricoes(const char* ou) { return nomes(restricoes(), ou); }
std::string nomes_de_ciclos(const char* ou) { return nomes(ciclos(), ou); }
std::string nomes_de_interpolacoes(const char* ou) { return nomes(interpolacoes(), ou); }
std::string nomes_de_operadores_grossos(const char* ou) { return nomes(operadores_grossos(), ou); }
std::string nomes_de_engrossamentos(const char* ou) { return nomes(engrossamentos(), ou); }
