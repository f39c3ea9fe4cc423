// Solver: o método. O nível corrente e o operador de cada nível (eps, o coeficiente de difusão), o problema
// (contornos, fonte, solução exata) e o campo inicial, os núcleos de referência (suavizadores, resíduo, restrições,
// prolongação, a solução direta do nível 1) com as variantes de cada forma de operador, o núcleo de cada linha das
// tabelas de componentes, o plano de uma solução, o ciclo recursivo, o FMG e as duas soluções. Os núcleos de referência são
// a documentação do método e o oráculo dos testes; a passada rápida (fast/) os substitui onde dá os mesmos bits.
// Lê os registros de state/ e o método efetivo que quem chama resolveu; não escreve nada para pessoas.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "fast/passada.h"
#include "solver/plano.h"
#include "state/cifras.h"
#include "state/estado.h"
#include "state/metodo.h"

/// ae = eps*(1/(dx*dx)), an = 1/(dy*dy), ap = (an+ae)*2.
operador_nivel operador_constante(double dx, double dy, double eps);
/// ae, an, ap do nível corrente: os do seu operador (operadores[k]); sem operadores montados, o laplaciano.
void coeficientes(estado_execucao& e);
/// Coeficiente de difusão de cada célula do nível mais fino em kappa (índices 1..(nx-1)(ny-1)).
void campo_coeficiente(estado_execucao& e, const coeficiente_difusao& c);
/// O coeficiente de um nível levado ao de baixo: cada célula grossa, a média das finas que ela cobre (quatro; duas
/// no semiengrossamento).
std::vector<double> media_nas_celulas(const double* fino, int nx, int ny,
                                      tipo_engrossamento g = tipo_engrossamento::completo);
// A forma do operador e a da interpolação de cada nível (índices 1..nm) que um método dá.
struct formas_niveis {
    std::vector<forma_operador> operador;
    std::vector<forma_interpolacao> interpolacao; // para o nível k, a partir do k-1 (bilinear no nível 1)
};
formas_niveis formas_do_metodo(const estado_execucao& e, const metodo_efetivo& m);
/// Doubles dos coeficientes do método: pesos (as formas variáveis de todos os níveis e os pesos da interpolação por
/// ponto) e kappa com as suas médias nos níveis rediscretizados (o rascunho da montagem).
long long doubles_do_operador(const estado_execucao& e, const metodo_efetivo& m);
/// O operador de cada nível (operadores[1..nm]): o rediscretizado (com o coeficiente variável, kappa e os pesos de
/// cada nível) ou, com Galerkin, R A P dos de cima; e os pesos da interpolação dependente do operador; erro_fatal
/// quando um peso não é finito.
void montar_operadores(estado_execucao& e, const metodo_efetivo& m, tempos_fases* tempos = nullptr);
/// O operador do nível k como vista sem campo (u e f nulos).
vista_nivel vista_do_operador(const estado_execucao& e, int k);
/// A interpolação do nível k-1 para o nível k como vista.
vista_interpolacao vista_da_interpolacao(const estado_execucao& e, int k);
/// O estêncil de nove pontos do ponto P do nível, em qualquer forma (os de cinco pontos com diagonais 0; nas
/// constantes P não importa): a diagonal em centro9, os acoplamentos com o sinal de ae e an.
estencil9 estencil_no_ponto(const vista_nivel& v, long P);
/// Os pesos dependentes do operador de um estêncil constante (doc/metodo.md, 12.3): arestas, e centros no
/// engrossamento completo.
pesos_constantes pesos_do_estencil(const estencil9& a, tipo_engrossamento g);
/// Os mesmos pesos por ponto do nível fino f em quatro grades de nx*ny (contornos: 1/2); devolve o primeiro ponto
/// de peso não finito (0: nenhum).
long pesos_do_operador(const vista_nivel& f, tipo_engrossamento g, double* grades);
/// R A P de um estêncil constante (cinco: só os cinco pontos de a entram), com os pesos w: o estêncil de nove pontos
/// do nível de baixo.
estencil9 galerkin_constante(const estencil9& a, bool cinco, const pesos_constantes& w, tipo_restricao r,
                             tipo_engrossamento g);
/// R A P em cada ponto interior do nível grosso nxc x nyc, nas nove grades do bloco.
void galerkin_por_ponto(const vista_nivel& fina, const vista_interpolacao& interp, tipo_restricao r, int nxc, int nyc,
                        double* bloco);
/// ofs(k) = nxyg(1) + ... + nxyg(k-1): onde o nível k começa em cor e res (0 para k = 1).
long deslocamento_do_nivel(const estado_execucao& e, int k);
/// Os tamanhos dos níveis 1..nm-1 a partir do mais fino, pelo engrossamento (doc/metodo.md, 12.1), nxyg e nxyt;
/// erro_fatal se o total passa de 32 bits. Aplicar duas vezes não muda nada.
void derivar_niveis_grossos(estado_execucao& e, tipo_engrossamento g);
/// Torna k o nível corrente: k, ofsk, nxk, nyk, nxyk, dx, dy.
void selecionar_nivel(estado_execucao& e, int k);
/// O nível corrente como vista: T no mais fino (ou com nm = 1), senão a correção do nível com res.
vista_nivel nivel_corrente(estado_execucao& e);
/// O lado direito do nível k-1, abaixo do corrente.
nivel_abaixo nivel_abaixo_do_corrente(estado_execucao& e);

/// 1/sinh(pi) como literal: a solução senoidal é (sin(x pi) sinh(y pi)) * inv_sinh_pi.
inline constexpr double inv_sinh_pi = 0.08658953753004696;

// A solução exata de um problema com operador constante, u(x, y) = combinar(fator_x(x), fator_y(y)), calculada como
// doc/metodo.md (seção 3) escreve; os fatores valem por coluna e por linha.
struct solucao_exata {
    tipo_problema tipo = tipo_problema::linear;
    bool anisotropica = false;  // senoidal com eps != 1: sinh(m y)/sinh(m), m = pi sqrt(eps)
    double m = 0.0, kx = 0.0, ky = 0.0;
    double fator_x(double x) const;
    double fator_y(double y) const;
    double combinar(double fx, double fy) const;
};
/// A solução exata do problema efetivo (só com m.solucao_exata).
solucao_exata solucao_exata_de(const metodo_efetivo& m);
/// Valores de Dirichlet do problema no contorno de T (oeste, leste e, se nxk > 2, sul e norte).
void contornos(estado_execucao& e, const definicao_problema& p);
/// Os mesmos valores no contorno da grade t do nível corrente (o campo de um nível grosso no FMG).
void contornos_em(const estado_execucao& e, const definicao_problema& p, double* t);
/// Solução exata do problema em todos os pontos de T (só com m.solucao_exata).
void solucao_analitica(estado_execucao& e, const metodo_efetivo& m);
/// Termo fonte do problema em fonte (pontos internos do nível mais fino); vazio sem fonte.
void montar_fonte(estado_execucao& e, const metodo_efetivo& m);
/// Próximo valor do splitmix64 em [-1, 1): ((double)(z >> 11) * 2^-53) * 2.0 - 1.0.
double proximo_aleatorio(std::uint64_t& s);
/// T = 0, depois o interior em ordem de armazenamento com os valores de proximo_aleatorio a partir da semente.
void campo_aleatorio(estado_execucao& e, std::uint64_t semente);
/// Campo inicial de T conforme tipo_ci (ou o início aleatório do método), contornos do problema, coeficientes e
/// hist(0); com tipo_ci = 2 e `reinicio` (nx*ny valores), T parte dele.
void preparar_campo_inicial(estado_execucao& e, const metodo_efetivo& m, std::span<const double> reinicio = {});
/// O mesmo numa só passada por T (mesmos bits), para o início conforme tipo_ci nos problemas da entrada com
/// operador constante, sem fonte (e com eps = 1 se tipo_ci = 1); T criado e o nível mais fino corrente.
void campo_inicial_rapido(estado_execucao& e, const metodo_efetivo& m);
/// Se campo_inicial_rapido serve a este método.
bool serve_campo_inicial_rapido(const estado_execucao& e, const metodo_efetivo& m);

/// nitm varreduras lexicográficas em T: T(P) = (an*(S+N) + ae*(W+E)) * (1/ap).
void gauss_seidel(estado_execucao& e);
/// rnorm = norma_nivel do nível corrente (o mais fino).
void norma_l1(estado_execucao& e);
/// As normas L2 e máxima do resíduo verdadeiro de T no nível mais fino (os mesmos a(P) da norma L1, nas formas de
/// cinco pontos); a estimativa do método de Krylov fica de fora (estimativa_krylov).
normas_iteracao normas_do_residuo(const estado_execucao& e);
/// Soma de |(ap*u(P) - Y) - X| (- f, com lado direito) nos pontos internos, em ordem de armazenamento, na forma do
/// operador da vista.
double norma_nivel(const vista_nivel& v);

/// Gauss-Seidel lexicográfico; com omega != 1, SOR: u = u + omega*(v - u).
void suavizar_gs_lex(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// Vermelho-preto: os pontos de i + j par, depois os de i + j ímpar; linhas divididas entre as threads.
void suavizar_gs_rb(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// Jacobi amortecido: todo v a partir dos valores anteriores, u = u + omega*(v - u); linhas entre as threads.
void suavizar_jacobi(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// Simétrico: uma varredura lexicográfica para frente e uma para trás contam como uma.
void suavizar_gs_sym(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// Linhas j = 2..ny-1 de sul a norte, cada uma resolvida por Thomas (e = ae).
void suavizar_linha_x(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// Colunas i = 2..nx-1 de oeste a leste, cada uma resolvida por Thomas (e = an).
void suavizar_linha_y(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// Uma varredura line-x e uma line-y contam como uma.
void suavizar_linha_alt(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// Rascunho dos suavizadores por linhas num nível nx x ny.
long rascunho_linhas(int nx, int ny);
/// Os mesmos sete suavizadores com o operador variável (ax, ay, ap por ponto; divisão por ap(P)).
void suavizar_gs_lex_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_gs_rb_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_jacobi_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_gs_sym_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_linha_x_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_linha_y_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_linha_alt_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// O nível de nove pontos da vista para os núcleos rápidos: os nove números ou as nove grades, pela forma.
nivel_nove nivel_nove_de(const vista_nivel& v, const meios_suavizacao& m);
/// E com o operador de nove pontos (constante ou por ponto, pela forma da vista): vermelho-preto numa thread só.
void suavizar_gs_lex_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_gs_rb_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_jacobi_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_gs_sym_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_linha_x_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_linha_y_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_linha_alt_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
/// As varreduras adjuntas (--post-order adjoint): gs-lex para trás (j e i decrescentes), gs-rb pretos e depois
/// vermelhos, nas três formas do operador.
void suavizar_gs_lex_adjunto(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_gs_rb_adjunto(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_gs_lex_adjunto_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_gs_rb_adjunto_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_gs_lex_adjunto_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras);
void suavizar_gs_rb_adjunto_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras);

/// Resíduo injetado no lado direito do nível k-1: de T quando k = nm, senão de cor.
void restringir_residuo(estado_execucao& e);
/// Injeção sobre vistas: res(k-1)(I, J) = r(P) no ponto fino coincidente.
void restringir_injecao(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho);
/// Meia ponderação: (4 r(P) + vizinhos em cruz) * 0.125.
void restringir_meia(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho);
/// Ponderação completa: (4 r(P) + 2 vizinhos em cruz + cantos) * 0.0625.
void restringir_completa(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho);
/// As três com o resíduo do operador variável.
void restringir_injecao_variavel(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho);
void restringir_meia_variavel(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho);
void restringir_completa_variavel(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho);
/// Injeção, meia e completa (engrossamento completo) numa forma de operador qualquer.
restricao restricao_plena(tipo_restricao r, forma_operador f);
/// A transposta (engrossamento completo) e as de uma direção (injeção, completa, transposta), doc/metodo.md 12.4.
restricao restricao_geral(tipo_restricao r, forma_operador f, tipo_engrossamento g, forma_interpolacao i);
/// T += interpolação bilinear da correção do nível nm-1 (nível corrente nm).
void prolongar_em_T(estado_execucao& e);
/// cor(k) += interpolação bilinear da correção do nível k-1 (nível corrente 2..nm-1).
void prolongar_correcao(estado_execucao& e);
/// nitm varreduras em cor: (an*(S+N) + ae*(W+E) + res(Q)) * (1/ap).
void suavizar_correcao(estado_execucao& e);

/// Bytes do fator em banda (e do vetor de solução) do nível 1 de nx1 x ny1 pontos (nove pontos: o LU).
long long bytes_fator_banda(int nx1, int ny1, forma_operador f = forma_operador::cinco_constante);
/// Multiplicações e somas do fator em banda do nível 1 de nx1 x ny1 pontos (~ b^2 n / 2, b = a banda).
double operacoes_fator_banda(int nx1, int ny1);
/// Multiplicações e somas por segundo do fator nesta máquina, medidas num fator de 100 x 100 incógnitas.
double velocidade_fator_banda();
/// Segundos estimados para o fator do nível 1 (medida só quando passa de 1e9 produtos; senão 0).
double segundos_fator_banda(int nx1, int ny1);
/// Cholesky em banda das equações de cinco pontos do nível 1 da vista (a sua forma de operador; erro_fatal sem
/// memória); `avancar`, se houver, recebe a fração das linhas já fatoradas a cada 64 linhas.
void fatorar_nivel_grosso(fator_banda& f, const vista_nivel& v, const std::function<void(double)>& avancar = {});
/// Interior do nível 1 = solução exata, com res e os valores de contorno da grade como dados.
void resolver_nivel_grosso(fator_banda& f, const vista_nivel& v);
/// O LU em banda sem pivô de um nível 1 de nove pontos (f.mx, f.my, f.n, f.b, f.x_rapido já postos; erro_fatal num
/// pivô nulo) e a sua solução.
void fatorar_nove(fator_banda& f, const vista_nivel& v, const std::function<void(double)>& avancar);
void resolver_nove(fator_banda& f, const vista_nivel& v);


/// A passada rápida (fast/passada.h) sobre o nível corrente: prolongação (se pedida), as varreduras pedidas
/// (gauss_seidel em T, suavizar_correcao em cor), restrição e/ou norma (em rnorm), com as threads da equipe.
void passada_rapida(estado_execucao& e, const pedido_passada& pedido, equipe& eq);

/// O núcleo de cada suavizador, restrição e interpolação para uma forma de operador, um engrossamento e uma forma de
/// interpolação (as demais cifras deles estão em state/componentes.h); nulo para a meia ponderação num engrossamento
/// de uma direção.
suavizador nucleo(tipo_suavizador s, forma_operador f = forma_operador::cinco_constante);
/// O da pós-suavização: o mesmo, ou com ordem_pos::adjunta a varredura adjunta do gs-lex e do gs-rb.
suavizador nucleo(tipo_suavizador s, forma_operador f, ordem_pos o);
restricao nucleo(tipo_restricao r, forma_operador f = forma_operador::cinco_constante,
                 tipo_engrossamento g = tipo_engrossamento::completo,
                 forma_interpolacao i = forma_interpolacao::bilinear);
prolongacao nucleo(forma_interpolacao i, tipo_engrossamento g);
/// Rascunho que o método pede além das grades.
rascunho_metodo rascunho_necessario(const estado_execucao& e, const metodo_efetivo& metodo);
/// Escolhe os componentes, cria o rascunho e, com o nível 1 exato, fatora-o (deixa o nível 1 corrente).
void planejar_solver(plano_solver& p, estado_execucao& e, const metodo_efetivo& metodo, const ajustes_solver& ajustes,
                     equipe& eq);
/// As instruções dos núcleos rápidos do plano, "varreduras/pontuais" ("scalar/avx512"), "off" na parte que não os
/// usa (a volta do gs-sym: "scalar/off"; as linhas e, com o operador variável, gs-lex e gs-sym: "scalar/off"; gs-rb e
/// jacobi com o operador variável: "off/avx512"), ou "off" quando nenhum serve.
std::string instrucoes_da_solucao(const plano_solver& p, const equipe& eq);

// A correção de um nível no começo da sua visita: zero (a primeira visita depois da restrição) ou a que está lá.
enum class correcao_inicial { atual, zero };
/// `varreduras` do suavizador do plano no nível corrente (passada_rapida quando o plano é rápido).
void suavizar_nivel(estado_execucao& e, plano_solver& p, int varreduras,
                    correcao_inicial c = correcao_inicial::atual);
/// Nível 1: `grosso` varreduras, ou a solução direta.
void tratar_nivel_grosso(estado_execucao& e, plano_solver& p, correcao_inicial c = correcao_inicial::atual);
/// Ciclo no nível k: pré-suavização, resíduo restrito, correção de k-1 zerada, ciclo(s) em k-1 (V: um V; W: dois W;
/// F: um F e um V), correção interpolada somada, pós-suavização; em k = nm deixa a norma L1 em rnorm.
void ciclo(estado_execucao& e, plano_solver& p, int k, tipo_ciclo tipo, correcao_inicial c = correcao_inicial::atual);
/// FMG: nível 1 tratado no seu problema; em cada k = 2..nm o interpolado de k-1, os contornos de k e um ciclo(k).
void inicio_fmg(estado_execucao& e, plano_solver& p);

/// A norma h da iteração diverge contra h0: não finita, ou h/h0 > razao_de_divergencia com h0 > 0.
bool divergiu(double h0, double h);
/// it = 1, 2, ...: iteracao() deixa a norma em rnorm, guardada em hist(it); para no teste de tolerância, no de
/// divergência ou depois de itmax (e.parada diz qual).
void iteracoes_externas(estado_execucao& e, const std::function<void()>& iteracao, const aviso_iteracao& aviso);
/// nitm varreduras do suavizador por iteração até tolt ou itmax (nm = 1).
void resolver_malha_unica(estado_execucao& e, const metodo_efetivo& metodo, const ajustes_solver& ajustes = {},
                          const aviso_iteracao& aviso = {});
/// Ciclo V de referência em duas voltas com os núcleos simples (o oráculo dos testes); norma em rnorm.
void ciclo_v_referencia(estado_execucao& e);
/// Um ciclo V do método clássico: o de referência, ou com ajustes.rapidos o ciclo recursivo rápido.
void ciclo_v(estado_execucao& e, const ajustes_solver& ajustes, equipe& eq);
/// Ciclos do método (o primeiro pelo FMG, se pedido) até tolt ou itmax (nm >= 2).
void resolver_multigrid(estado_execucao& e, const metodo_efetivo& metodo, const ajustes_solver& ajustes = {},
                        const aviso_iteracao& aviso = {});

// Criação das grades (erro_fatal sem memória); n < 0 conta como 0.
void criar_campo(estado_execucao& e, long n);
void criar_niveis_grossos(estado_execucao& e, long n);

// Aceleração de Krylov (--krylov; doc/metodo.md, 13).
/// Vazio quando o método de Krylov aceita o ciclo do método; senão o motivo (o cg com um ciclo não simétrico, o FMG).
std::string recusa_krylov(const metodo_efetivo& m);
/// As iterações externas com o método de Krylov k: `ciclo` é uma iteração da rodada sem Krylov sobre T e a fonte
/// correntes (o precondicionador); hist(it) é a norma L1 do resíduo verdadeiro, a estimativa vai a
/// estimativa_krylov e uma ruptura a e.ruptura (e para a rodada).
void iteracoes_krylov(estado_execucao& e, const aceleracao_krylov& k, const std::function<void()>& ciclo,
                      const aviso_iteracao& aviso);
