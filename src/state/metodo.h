// O método como registro: os componentes pedidos na linha de comando (metodo_solver) e os efetivos de uma rodada
// (metodo_efetivo), resolvidos uma vez e passados a quem resolve, analisa e relata. Junto deles, o problema que a
// rodada resolve: a anisotropia eps, o coeficiente de difusão e o problema (contornos, fonte, solução exata).
#pragma once

#include <cstdint>
#include <string>

enum class tipo_ciclo { V, W, F };
enum class tipo_suavizador { gs_lex, gs_rb, jacobi, gs_sym, linha_x, linha_y, linha_alt };
enum class tipo_restricao { injecao, meia, completa, transposta };
// O operador dos níveis grossos: rediscretizado com o espaçamento do nível, ou o produto de Galerkin R A P.
enum class tipo_operador_grosso { rediscretizado, galerkin };
// A interpolação da correção: bilinear (linear no semiengrossamento) ou dependente do operador (pesos do estêncil).
enum class tipo_interpolacao { bilinear, operador };
// Quais direções cada nível grosso engrossa: as duas, só x ou só y (semiengrossamento).
enum class tipo_engrossamento { completo, x, y };
enum class tipo_inicio { conforme_tipo_ci, aleatorio };

// A aceleração de Krylov (--krylov; doc/metodo.md, 13): o ciclo da rodada como precondicionador.
enum class tipo_krylov { nenhum, cg, bicgstab, gmres };

struct aceleracao_krylov {
    tipo_krylov tipo = tipo_krylov::nenhum;
    int reinicio = 30;               // M do gmres: a base recomeça a cada M iterações
};

// A ordem da pós-suavização (--post-order): a mesma varredura da pré, ou a sua adjunta (gs-lex de trás para a frente,
// gs-rb pretos e depois vermelhos; jacobi e gs-sym são adjuntos de si mesmos), que torna o ciclo simétrico.
enum class ordem_pos { mesma, adjunta };

/// M máximo de gmres:M.
inline constexpr int max_reinicio_gmres = 1000;

// O coeficiente de difusão kappa, uma constante por célula do nível mais fino (--coefficient; doc/metodo.md, 2.2).
enum class tipo_coeficiente { constante, salto, xadrez, camadas, aleatorio };

struct coeficiente_difusao {
    tipo_coeficiente tipo = tipo_coeficiente::constante;
    double c = 1.0;                  // C: o valor no salto, no xadrez e nas camadas; o aleatório fica em [1/C, C]
    int m = 1;                       // M: casas por direção do xadrez, camadas
    std::uint64_t semente = 1;       // do aleatório
};

// O problema: contornos, fonte e solução exata (--problem; sem ela, o problema da entrada).
enum class tipo_problema { da_entrada, linear, senoidal, senos, constante };

struct definicao_problema {
    tipo_problema tipo = tipo_problema::da_entrada;
    int kx = 1, ky = 1;              // senos: u = sin(kx pi x) sin(ky pi y)
    double f = 0.0;                  // constante: a fonte em todo ponto
};

/// Textos canônicos ("jump:1000", "sin:1:2", "constant:-1.5"), os mesmos em todo relatório e que a opção relê.
std::string texto_coeficiente(const coeficiente_difusao& c);
std::string texto_problema(const definicao_problema& p);
/// "none", "cg", "bicgstab", "gmres:30".
std::string texto_krylov(const aceleracao_krylov& k);
/// Número pela forma mais curta que relê o mesmo double ("0.01", "1e-08").
std::string texto_numero(double v);

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
    tipo_operador_grosso operador_grosso = tipo_operador_grosso::rediscretizado;
    tipo_interpolacao interpolacao = tipo_interpolacao::bilinear;
    tipo_engrossamento engrossamento = tipo_engrossamento::completo;
    aceleracao_krylov krylov;                               // nenhum: as iterações externas são os ciclos
    ordem_pos ordem = ordem_pos::mesma;                     // a pós-suavização: a mesma ordem da pré ou a adjunta
    // o problema
    double eps = 1.0;                                       // coeficiente de u_xx
    coeficiente_difusao coeficiente;
    definicao_problema problema;                            // da_entrada: o problema da entrada
};

// Os componentes de uma rodada com todo valor resolvido para a sua entrada (nitm, nm): o que o solver executa, a
// análise analisa e os relatórios mostram. Só nasce do pedido e da entrada: não há um efetivo "padrão".
struct metodo_efetivo {
    /// Valores efetivos do pedido numa entrada com nitm varreduras, nm níveis e o problema `problema` (1 =
    /// linear, outro = senoidal).
    metodo_efetivo(const metodo_solver& pedido, int nitm, int nm, int problema);

    tipo_ciclo ciclo = tipo_ciclo::V;
    bool fmg = false;                   // só com nm >= 2
    int pre = 0, pos = 0, grosso = 0;   // varreduras (as não dadas = nitm)
    bool grosso_exato = false;          // só com nm >= 2
    tipo_suavizador suavizador = tipo_suavizador::gs_lex;
    double omega = 1.0;                 // o dado, ou o padrão do suavizador; 1 nos que não relaxam
    tipo_restricao restricao = tipo_restricao::injecao;
    tipo_inicio inicio = tipo_inicio::conforme_tipo_ci;
    std::uint64_t semente = 1;
    tipo_operador_grosso operador_grosso = tipo_operador_grosso::rediscretizado; // só com nm >= 2
    tipo_interpolacao interpolacao = tipo_interpolacao::bilinear;                 // só com nm >= 2
    tipo_engrossamento engrossamento = tipo_engrossamento::completo;              // só com nm >= 2
    bool multigrid = false;             // nm >= 2
    aceleracao_krylov krylov;           // o ciclo (ou as varreduras, nm = 1) como precondicionador
    ordem_pos ordem = ordem_pos::mesma; // só com nm >= 2
    // o problema
    double eps = 1.0;
    coeficiente_difusao coeficiente;
    definicao_problema problema;        // nunca da_entrada: o da entrada já resolvido
    bool problema_da_entrada = true;    // o mesmo problema que a entrada pede (o bloco MÉTODO não o mostra)
    bool operador_variavel = false;     // kappa varia de célula a célula (coeficiente não constante, C != 1)
    bool fonte = false;                 // o problema tem termo fonte (senos, constante)
    bool solucao_exata = true;          // o problema tem solução exata (operador constante, fonte que não é constante)
    bool transferencias_padrao = true;  // operador grosso, interpolação e engrossamento padrão (o MÉTODO não os mostra)
    bool classico = true;               // o da rodada clássica (com nm = 1 contam só suavizador, omega, início e o
                                        // problema)
};
