// Análise: a teoria ao lado da medida. A análise de Fourier local (símbolos tirados das tabelas de componentes),
// autovalores de matrizes pequenas, o fator assintótico ajustado, o trabalho em unidades de trabalho, o erro
// dividido em algébrico e de discretização, o erro contra a solução exata e as cifras de uma rodada. Lê o estado
// resolvido e o método efetivo; nada aqui muda a solução.
#pragma once

#include <array>
#include <complex>
#include <span>
#include <string>
#include <vector>

#include "state/cifras.h"
#include "state/estado.h"
#include "state/metodo.h"
#include "state/veredito.h"
#include "solver/solver.h"

using complexo = std::complex<double>;

/// Autovalores de a (n x n por linhas, a.size() >= n*n): balanceamento, Hessenberg, QR com deslocamento.
std::vector<complexo> autovalores(std::span<const complexo> a, int n);
/// max |autovalor| de a (n x n, por linhas); NaN se o QR não convergir.
double raio_espectral(std::span<const complexo> a, int n);

// ---- Análise de Fourier local (LFA) do operador de cinco pontos com coeficientes (ae, an).
// Espaço dos 4 harmônicos de uma frequência baixa theta, nesta ordem:
// theta, theta + (pi,0), theta + (0,pi), theta + (pi,pi). Matriz 4x4 por linhas, coluna = imagem do harmônico.
using matriz4 = std::array<complexo, 16>;

struct pedido_lfa {
    double ae = 1.0, an = 1.0;          // coeficientes do nível mais fino (só a razão ae/an importa)
    tipo_suavizador suavizador = tipo_suavizador::gs_lex;
    double omega = 0.0;                 // 0 = padrão do suavizador (1; 4/5 no Jacobi); as linhas não usam
    tipo_restricao restricao = tipo_restricao::completa;
    tipo_operador_grosso operador_grosso = tipo_operador_grosso::rediscretizado;
    tipo_interpolacao interpolacao = tipo_interpolacao::bilinear;
    tipo_engrossamento engrossamento = tipo_engrossamento::completo;
    int nu1 = 1, nu2 = 1;               // varreduras antes e depois da correção grossa
    ordem_pos ordem = ordem_pos::mesma; // adjunta: a pós-suavização é a varredura adjunta (--post-order)
    int pontos = 64;                    // frequências por direção na grade de [-pi/2, pi/2)^2
};

struct resultado_lfa {
    double mu = 0.0;                    // fator de suavização de uma varredura: sup rho(Q S)
    double mu_nu = 0.0;                 // sup rho(Q S^nu)^(1/nu), nu = nu1+nu2 (NaN se nu = 0)
    double rho = 0.0;                   // fator de dois níveis: sup rho(S^nu2 K S^nu1)
    std::array<double, 2> theta_mu{};   // frequência baixa onde mu foi atingido
    std::array<double, 2> theta_rho{};  // idem, rho
    int avaliacoes = 0;                 // frequências avaliadas (grade e refinamento)
};

/// Pedido com os componentes efetivos do método (nu1 = pre, nu2 = pos).
pedido_lfa pedido_do_metodo(const metodo_efetivo& m, double ae, double an);
/// Símbolo de uma varredura do suavizador na frequência baixa (t1, t2).
matriz4 simbolo_suavizador(const pedido_lfa& p, double t1, double t2);
/// Símbolo de uma varredura da pós-suavização: o de simbolo_suavizador, ou com a ordem adjunta o da varredura
/// adjunta (gs-lex para trás: em cada harmônico o da frente em -phi; gs-rb: pretos, depois vermelhos).
matriz4 simbolo_pos_suavizacao(const pedido_lfa& p, double t1, double t2);
/// A pós-suavização difere da pré (ordem adjunta com gs-lex ou gs-rb; jacobi e gs-sym são adjuntos de si mesmos)?
bool pos_suavizacao_adjunta(const pedido_lfa& p);
/// Símbolo da correção grossa K = I - P L_H^-1 R L_h com os componentes do pedido; theta != 0.
matriz4 simbolo_correcao_grossa(const pedido_lfa& p, double t1, double t2);
/// Símbolo do operador de dois níveis S^nu2 K S^nu1 (estoura para infinito ou some como o double); theta != 0.
matriz4 simbolo_dois_niveis(const pedido_lfa& p, double t1, double t2);
/// Produto de matrizes 4x4: a b.
matriz4 produto(const matriz4& a, const matriz4& b);
// Uma potência de matriz 4x4 guardada escalada, a^n = 2^expoente m, para que nem nu = 10^6 varreduras estourem nem
// se percam no subnormal.
struct potencia4 {
    matriz4 m{};
    long long expoente = 0;
};
/// a^n por quadrados sucessivos (da esquerda para a direita: ~2 log2 n produtos), n >= 0.
potencia4 potencia(const matriz4& a, long long n);
/// rho(S^nu2 K S^nu1) pelas potências escaladas: o raio da matriz escalada vezes 2^expoente; theta != 0.
double raio_dois_niveis(const pedido_lfa& p, double t1, double t2);
/// rho(Q S^nu)^(1/nu), nu >= 1 (Q anula os harmônicos que o nível grosso representa: theta; no semiengrossamento
/// em x também theta + (0, pi), em y theta + (pi, 0)): a suavização por varredura em nu varreduras.
double raio_suavizado(const matriz4& s, long long nu, tipo_engrossamento g = tipo_engrossamento::completo);
/// O mesmo para nu = nu1 + nu2 varreduras de uma potência já formada (S_pos^nu2 S^nu1 escalada).
double raio_suavizado(potencia4 r, long long nu, tipo_engrossamento g);

// ---- Símbolos das transferências e do operador grosso (engrossamento, interpolação, restrição, operador grosso).
/// Os componentes são os da correção grossa de sempre (rediscretizado, bilinear, completo, sem a transposta)?
bool transferencias_classicas(const pedido_lfa& p);
/// O estêncil de cinco pontos do nível mais fino (ae, an; ap = 2(ae + an)) como de nove pontos.
estencil9 estencil_fino_da_lfa(const pedido_lfa& p);
/// Os pesos da interpolação do pedido: bilinear, ou os dependentes do operador do estêncil fino.
pesos_constantes pesos_da_lfa(const pedido_lfa& p);
/// O operador grosso do pedido como estêncil de nove pontos: rediscretizado, ou R A P (solver/galerkin.cpp).
estencil9 estencil_grosso_da_lfa(const pedido_lfa& p, const pesos_constantes& w);
/// ap - soma c_o e^{i Theta.o} de um estêncil constante, sem cancelamento perto de Theta = 0.
complexo simbolo_estencil(const estencil9& a, double t1, double t2);
/// (1/4) soma w(o) e^{-i phi.o} (1/2 e uma direção no semiengrossamento): o símbolo da interpolação num harmônico.
complexo simbolo_interpolacao(const pesos_constantes& w, tipo_engrossamento g, double f1, double f2);
/// soma r(o) e^{i phi.o}: o símbolo da restrição do pedido num harmônico (a transposta: o conjugado de P).
complexo simbolo_restricao_geral(const pedido_lfa& p, const pesos_constantes& w, double f1, double f2);
/// Os harmônicos que a correção grossa acopla: os quatro (0), ou dois blocos de dois (0 e 1) no semiengrossamento.
int grupo_do_harmonico(tipo_engrossamento g, int a);
/// K = I - P L_H^-1 R L com os componentes do pedido (em blocos no semiengrossamento); theta != 0.
matriz4 correcao_grossa_geral(const pedido_lfa& p, double t1, double t2);
/// mu, mu_nu e rho: máximo sobre a grade de frequências baixas, refinado por busca local.
resultado_lfa analisar_lfa(const pedido_lfa& p);

// ---- Fator assintótico medido: reta de mínimos quadrados de ln hist(it) contra it.
struct taxa_assintotica {
    double q_assintotico = 0.0;         // exp(inclinação); NaN se não válido
    double r2 = 0.0;                    // coeficiente de determinação do ajuste; NaN se não válido
    int primeiro = 0, ultimo = 0;       // ciclos cujos hist(it) entram no ajuste
    int piso = -1;                      // primeiro ciclo no piso de arredondamento (-1: não chegou)
    bool valido = false;                // ao menos 3 pontos positivos e finitos
};

/// Ajuste sobre hist(primeiro..ultimo), ultimo = antes do piso; hist = hist(0..niter).
taxa_assintotica ajustar_taxa(std::span<const double> hist, int primeiro = 2);
/// O piso achado a partir do ciclo 2, depois a reta sobre a segunda metade dos ciclos antes dele (ciclos
/// max(2, ultimo/2)..ultimo): a primeira metade é o transitório do campo inicial.
taxa_assintotica ajustar_taxa_assintotica(std::span<const double> hist);

// ---- Trabalho, em unidades de trabalho (UT): uma varredura no nível mais fino = 1.
struct trabalho_ciclo {
    double varreduras = 0.0;            // UT das suavizações (nível 1 incluído, exceto solução exata)
    double restricoes = 0.0;            // passadas de restrição, cada uma pesando como o nível fino do par
    double prolongacoes = 0.0;          // idem, prolongações (no fmg, também as do campo entre níveis)
    double solucoes_exatas = 0.0;       // soluções diretas do nível 1 (fora das UT)
    std::vector<double> visitas;        // visitas de cada nível, índices 1..nm
};

/// Trabalho de uma iteração externa (um ciclo; nm = 1: nitm varreduras) nos níveis nxg x nyg (índices 1..nm).
trabalho_ciclo calcular_trabalho(const metodo_efetivo& m, int nitm, std::span<const int> nxg,
                                 std::span<const int> nyg, int nm);
/// Trabalho do início por multigrid completo (nível 1, depois prolongação e um ciclo em cada k = 2..nm).
trabalho_ciclo calcular_trabalho_fmg(const metodo_efetivo& m, std::span<const int> nxg,
                                     std::span<const int> nyg, int nm);
/// q^(1/ut): fator por unidade de trabalho; NaN se q <= 0 ou ut <= 0.
double fator_por_trabalho(double q, double ut);
/// -log10(q)/ut: dígitos ganhos por unidade de trabalho; NaN se q <= 0 ou ut <= 0.
double digitos_por_trabalho(double q, double ut);

// ---- Divisão do erro de T: algébrico (contra a solução exata das equações discretas) e de discretização.
struct solucao_discreta {
    int nx = 0, ny = 0;                 // pontos do nível mais fino
    bool existe = false;                // o problema tem solução exata (senão os erros são NaN)
    tipo_problema tipo = tipo_problema::linear;
    solucao_exata exata;                // a do problema (fatores por coluna e por linha)
    double dx = 0.0, dy = 0.0;
    double m = 0.0;                     // cosh(m dy) = 1 + (ae/an)(1 - cos(pi dx)) (senoidal)
    double amplitude = 0.0;             // sin:KX:KY: c/lambda
    std::vector<double> fx;             // fator x da solução exata em x_i, i = 1..nx (também o da discreta)
    std::vector<double> gy;             // fator y da discreta em y_j: sinh(m y_j)/sinh(m) ou sin(ky y_j)
    std::vector<double> hy;             // fator y da solução exata em y_j, j = 1..ny
};

struct erro_dividido {
    double algebrico_max = 0.0, algebrico_medio = 0.0;           // |T - T_discreta|
    double discretizacao_max = 0.0, discretizacao_medio = 0.0;   // |T_discreta - T_exata|
};

/// Solução exata das equações discretas (contorno = valores de contornos, fonte do problema) num nível nx x ny; sem
/// solução exata (coeficiente variável, constant:F), existe = false.
solucao_discreta preparar_solucao_discreta(const metodo_efetivo& m, int nx, int ny);
/// m com cosh(m dy) = 1 + (ae/an)(1 - cos(pi dx)), ae = eps/(dx*dx), por log1p (sem cancelamento).
double expoente_discreto(double dx, double dy, double eps = 1.0);
/// sinh(m y)/sinh(m) por exponenciais decrescentes (sem estouro para m grande).
double razao_sinh(double m, double y);
/// Erro algébrico máximo e médio de T (índices 1..nx*ny), discretização NaN: barato, para cada iteração.
erro_dividido erro_algebrico(const solucao_discreta& s, std::span<const double> T);
/// Erros algébrico e de discretização, máximo e médio sobre todos os pontos.
erro_dividido dividir_erro(const solucao_discreta& s, std::span<const double> T);
/// O erro algébrico com sinal em cada ponto, T(P) - T_discreta(P) (índices 1..nx*ny, contornos incluídos); NaN
/// em todo ponto sem solução exata.
std::vector<double> campo_erro_algebrico(const solucao_discreta& s, std::span<const double> T);

// ---- O campo final contra a solução exata do problema.
/// Erro máximo e médio do campo T do nível mais fino (contornos incluídos); NaN sem solução exata.
erro_exato calcular_erro_exato(const estado_execucao& e, const metodo_efetivo& m);
/// Amostra de T, do erro contra a solução exata (NaN sem ela) e, com o coeficiente variável, de kappa por célula,
/// para os gráficos.
amostra_campo amostrar_campo(const estado_execucao& e, const metodo_efetivo& m, int lado);

// ---- As cifras de uma rodada (registros em solver/figuras.h).
/// Pedido da LFA da rodada: componentes efetivos, (ae, an) do nível mais fino nx x ny; com nm = 1, nu1 = nitm, nu2 = 0.
pedido_lfa pedido_da_rodada(const metodo_efetivo& m, int nitm, int nm, int nx, int ny);
/// Tabela da LFA: nu1 + nu2 = 1..4 (nu1 = nu2 ou nu2 + 1; nm = 1: nu = 1..4 varreduras) e as contagens da rodada
/// (marcadas), rho só com nm >= 2.
std::vector<linha_lfa> tabela_lfa(const metodo_efetivo& m, int nitm, int nm, int nx, int ny);
/// As cifras de uma rodada resolvida: LFA, fator ajustado, trabalho por ciclo, erro dividido e erro contra a exata.
cifras_rodada calcular_cifras(const estado_execucao& e, const metodo_efetivo& m);

// ---- O julgamento de uma rodada.
/// O veredito depois da solução: divergiu ou convergiu pelo teste que parou o laço; senão estagnou quando o fator
/// assintótico ajustado de hist(0..niter) é >= fator_de_estagnacao, ou parou.
veredito julgar_rodada(const estado_execucao& e);
/// O que a LFA prevê antes da solução (só com nm >= 2): com rho >= rho_sem_convergencia, rho, mu e o porquê. Uma
/// olhada em poucas frequências basta quando o fator fica longe de 1 (rho é então só o dessa olhada).
previsao_lfa prever_convergencia(const metodo_efetivo& m, int nitm, int nm, int nx, int ny);

// ---- LFA de k níveis do ciclo da rodada (analysis/lfa_k_niveis.cpp, lfa_k_busca.cpp).
struct pedido_lfa_k {
    pedido_lfa base;                    // os componentes e as contagens do nível mais fino (os grossos: ae/4, an/4)
    tipo_ciclo ciclo = tipo_ciclo::V;
    int niveis = 2;                     // k: o espaço tem 4^(k-1) harmônicos
    int grosso = -1;                    // varreduras no nível mais grosso da análise; -1 = resolvido
    std::array<double, 2> baixa_grosso{}; // a menor frequência do nível 1 da rodada por direção (grosso >= 0): as
                                        // mais baixas, que a grade da rodada não tem, ficam fora do sup
    int pontos = 8;                     // frequências base por direção num período
};

struct resultado_lfa_k {
    double rho = 0.0;                   // sup do raio espectral do símbolo de k níveis
    std::array<double, 2> theta{};      // a frequência base onde foi atingido
    int avaliacoes = 0;
};

/// Por que a análise de k níveis não se aplica ao pedido (texto para pessoas), ou nullptr.
const char* k_niveis_nao_se_aplica(const pedido_lfa_k& k);
/// O símbolo do ciclo de k níveis na frequência base (t1, t2) (4^(k-1) x 4^(k-1), por linhas; a ordem dos harmônicos
/// em doc/metodo.md, 10); theta fora da vizinhança de 0.
std::vector<complexo> simbolo_k_niveis(const pedido_lfa_k& k, double t1, double t2);
/// As frequências dos harmônicos desse símbolo, na ordem das linhas e colunas.
std::vector<std::array<double, 2>> frequencias_k_niveis(int k, double t1, double t2);
/// O raio espectral desse símbolo.
double raio_k_niveis(const pedido_lfa_k& k, double t1, double t2);
/// O sup do raio sobre as frequências base (grade de pontos^2/2 refinada pela busca por coordenadas); com k = 2 e o
/// nível grosso resolvido é o rho de analisar_lfa.
resultado_lfa_k analisar_lfa_k(const pedido_lfa_k& k);
/// O pedido de k níveis da rodada: ciclo, contagens, o nível mais grosso da análise tratado como a rodada trata o
/// nível 1 quando k = nm, resolvido quando k < nm; nxg1, nyg1 os pontos do nível 1.
pedido_lfa_k pedido_k_da_rodada(const metodo_efetivo& m, int nitm, int nm, int nx, int ny, int nxg1, int nyg1, int k);
/// Por que o método inteiro fica fora da análise de k níveis (o coeficiente variável), ou vazio.
std::string metodo_sem_lfa_k(const metodo_efetivo& m);
/// As linhas k = 2, 3, 4 da rodada, com o tratamento do nível mais grosso e o porquê das que não se aplicam.
std::vector<linha_lfa_k> tabela_lfa_k(const metodo_efetivo& m, int nitm, int nm, int nx, int ny, int nxg1, int nyg1);
/// Os mapas de Fourier de --lfa --plot (analysis/mapas_lfa.cpp).
mapas_lfa calcular_mapas_lfa(const metodo_efetivo& m, int nitm, int nm, int nx, int ny, int nxg1, int nyg1);
/// rho de k = 2, 3, 4 níveis da rodada (sem_cifra onde não se aplica: k > nm, coeficiente variável, as razões acima).
std::array<double, 3> rho_k_niveis_da_rodada(const metodo_efetivo& m, int nitm, int nm, int nx, int ny, int nxg1,
                                             int nyg1);
