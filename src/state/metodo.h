// O método como registro: os componentes escolhidos (ciclo, contagens, suavizador, restrição, início) e seus nomes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

enum class tipo_ciclo { V, W, F };
enum class tipo_suavizador { gs_lex, gs_rb, jacobi, gs_sym, linha_x, linha_y, linha_alt };
enum class tipo_restricao { injecao, meia, completa };
enum class tipo_inicio { conforme_tipo_ci, aleatorio };

/// Contagem de varreduras que segue nitm da entrada.
inline constexpr int conforme_nitm = -1;

// Componentes do método; os valores padrão dão a rodada clássica (ciclos V, Gauss-Seidel lexicográfico, injeção).
struct metodo_solver {
    tipo_ciclo ciclo = tipo_ciclo::V;
    bool fmg = false;                                       // início por multigrid completo
    int pre = conforme_nitm;                                // varreduras antes da correção grossa
    int pos = conforme_nitm;                                // varreduras depois da correção grossa
    int grosso = conforme_nitm;                             // varreduras no nível 1
    bool grosso_exato = false;                              // nível 1 resolvido por método direto
    tipo_suavizador suavizador = tipo_suavizador::gs_lex;
    double omega = 0.0;                                     // 0 = padrão do suavizador (1; 4/5 no Jacobi)
    tipo_restricao restricao = tipo_restricao::injecao;
    tipo_inicio inicio = tipo_inicio::conforme_tipo_ci;
    std::uint64_t semente = 1;                              // do início aleatório
};

/// Nomes dos componentes na linha de comando e nos relatórios ("V", "gs-rb", "full", ...).
const char* nome_ciclo(tipo_ciclo c);
const char* nome_suavizador(tipo_suavizador s);
const char* nome_restricao(tipo_restricao r);
/// O componente de um nome, ou nada.
std::optional<tipo_ciclo> ciclo_de_nome(std::string_view nome);
std::optional<tipo_suavizador> suavizador_de_nome(std::string_view nome);
std::optional<tipo_restricao> restricao_de_nome(std::string_view nome);
/// gs-lex, gs-rb, gs-sym e jacobi relaxam com omega; as linhas não.
bool aceita_omega(tipo_suavizador s);
/// Valores efetivos: contagens não dadas = nitm; omega não dado = 1 (0,8 no Jacobi; 1 nas linhas).
metodo_solver metodo_efetivo(const metodo_solver& m, int nitm);
/// O método efetivo é o da rodada clássica? (com nm = 1 contam só suavizador, omega e início)
bool metodo_classico(const metodo_solver& efetivo, int nm, int nitm);
