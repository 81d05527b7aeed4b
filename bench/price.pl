#!/usr/bin/perl
# The benchmark's report written with Perl's format and write: the same data
# file, the same columns and breaks, 60-line sheets with a page header.
#
#   perl bench/price.pl data.txt > report.txt
#
# Widths are in characters: input and output go through the UTF-8 layer.
use strict;
use warnings;

use open qw(:std :encoding(UTF-8));

# The characters after which vexo breaks a wrapped value.
$: = " ,?!;)]";
$= = 60;

my %header;
our ($id, $name, $description, $price, $title, $date, $currency);

format STDOUT_TOP =
@|||||||||||||||||||||||||||||||||||||||||||||||||||||||||||||||||| Page @>>>
$title, $%
Valid from @<<<<<<<<<<                                       Prices in @<<
$date, $currency
    Id Name                 Description                                   Price
-------------------------------------------------------------------------------
.

format STDOUT =
^>>>>> ^<<<<<<<<<<<<<<<<<<< ^<<<<<<<<<<<<<<<<<<<<<<<<<<<<<<<<<<<<<<< ^>>>>>>>>>~~
$id, $name, $description, $price
.

local $/ = '@';
my $first = 1;
while (my $record = <>) {
  chomp $record;
  if ($first) {
    $first = 0;
    while ($record =~ s/\A&(\d+);([^\n]*)\n//) { $header{$1} = $2; }
    ($title, $date, $currency) = @header{1, 2, 3};
  }
  $record =~ s/\n/ /g;
  my %field = $record =~ /\$(\d+);([^\$]*)/g;
  next unless exists $field{1};
  ($id, $name, $description, $price) = @field{1, 2, 3, 4};
  write;
}
print "End of $title, valid from $date\n";
