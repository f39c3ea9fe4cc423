// O método como registro: os componentes pedidos na linha de comando (metodo_solver) e os efetivos de uma rodada
// (metodo_efetivo), resolvidos uma vez e passados a quem resolve, analisa e relata.
#pragma once

#include <cstdint>

enum class tipo_ciclo { V, W, F };
enum class tipo_suavizador { gs_lex, gs_rb, jacobi, gs_sym, linha_x, linha_y, linha_alt };
enum class tipo_restricao { injecao, meia, completa };
enum class tipo_inicio { conforme_tipo_ci, aleatorio };

/// Contagem de varreduras que segue nitm da entrada.
inline constexpr int conforme_nitm = -1;

// Componentes pedidos; os valores padrão dão a rodada clássica (ciclos V, Gauss-Seidel lexicográfico, injeção).
struct metodo_solver {
    tipo_ciclo ciclo = tipo_ciclo::V;
    bool fmg = false;                                       // início por multigrid completo
    int pre = conforme_nitm;                                // varreduras antes da correção grossa
    int pos = conforme_nitm;                                // varreduras depois da correção grossa
    int grosso = conforme_nitm;                             // varreduras no nível 1
    bool grosso_exato = false;                              // nível 1 resolvido por método direto
    tipo_suavizador suavizador = tipo_suavizador::gs_lex;
    double omega = 0.0;                                     // 0 = padrão do suavizador (componentes.h)
    tipo_restricao restricao = tipo_restricao::injecao;
    tipo_inicio inicio = tipo_inicio::conforme_tipo_ci;
    std::uint64_t semente = 1;                              // do início aleatório
};

// Os componentes de uma rodada com todo valor resolvido para a sua entrada (nitm, nm): o que o solver executa, a
// análise analisa e os relatórios mostram. Só nasce do pedido e da entrada: não há um efetivo "padrão".
struct metodo_efetivo {
    /// Valores efetivos do pedido numa entrada com nitm varreduras e nm níveis.
    metodo_efetivo(const metodo_solver& pedido, int nitm, int nm);

    tipo_ciclo ciclo = tipo_ciclo::V;
    bool fmg = false;                   // só com nm >= 2
    int pre = 0, pos = 0, grosso = 0;   // varreduras (as não dadas = nitm)
    bool grosso_exato = false;          // só com nm >= 2
    tipo_suavizador suavizador = tipo_suavizador::gs_lex;
    double omega = 1.0;                 // o dado, ou o padrão do suavizador; 1 nos que não relaxam
    tipo_restricao restricao = tipo_restricao::injecao;
    tipo_inicio inicio = tipo_inicio::conforme_tipo_ci;
    std::uint64_t semente = 1;
    bool multigrid = false;             // nm >= 2
    bool classico = true;               // o da rodada clássica (com nm = 1 contam só suavizador, omega e início)
};
