# Splits one formula property definition into its fields.
#
#   perl -e <this program> -- '<definition>'
#
# Each step removes its first match from the working text, so later steps
# see only what earlier ones left. Prints "Key:\t<value>" lines in key order,
# then "." without a line feed; on an error only "." and a line on stderr.
use strict;
use warnings;

my $text = defined $ARGV[0] ? $ARGV[0] : '';
my %field;

# A number: optional sign, digits with an optional fraction and exponent,
# standing alone (not glued to a name such as "energy" or "x2").
my $num = qr/(?<![A-Za-z0-9_.])[-+]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][-+]?\d+)?(?![A-Za-z0-9_.])/;

sub fail {
    print ".";
    print STDERR "ERROR: $_[0]\n";
    exit 1;
}

# Name and formula.
$text =~ s/^(.*?)\s*=//s or fail("No property name given!");
$field{Property} = $1;
$field{Formula} = $text;

# Value map between bars.
if ($text =~ s/\s*\|\s*($num(?:\s+$num)*)\s*\|\s*//) {
    $field{Map} = $1;
} elsif ($text =~ /\|.*\|/s) {
    fail("Strange entry in map.");
}

# Cut on a range, or on a text.
if ($text =~ s/\s*\{(.*?)\s*=\s*($num)\s*:\s*($num)\s*\}\s*//s) {
    @field{qw(CutProperty CutBegin CutLength)} = ($1, $2, $3);
}
if ($text =~ s/\s*\{(.*?)\s*=\s*(\S+)\s*\}\s*//s) {
    @field{qw(CutProperty CutString)} = ($1, $2);
}

$field{Factor} = $1 if $text =~ s/\s*\*\s*($num)//;
$field{Divider} = $1 if $text =~ s/\s*\/\s*($num)//;
$field{Modulus} = $1 if $text =~ s/\s*%\s*($num)//;

# Function call: name, then the arguments separated by commas.
if ($text =~ s/(\S+)\((.*)\)//s) {
    $field{Function} = $1;
    (my $arguments = $2) =~ s/\s*,\s*/ /g;
    $field{Arguments} = $arguments;
}

# A leading factor multiplies a trailing one.
if ($text =~ s/\s*($num)\s*\*\s*//) {
    my $factor = $1;
    $factor *= $field{Factor} if exists $field{Factor} && $field{Factor} != 0;
    $field{Factor} = $factor;
}

# Index: a property, a position, or a position and a count to sum.
if ($text =~ s/\s*\[(\S+)\]//) {
    my $run = $1;
    if ($run =~ /[^0-9.+\-e:*]/) {
        $field{IndexVar} = $run;
    } elsif ($run =~ /^(.*):(.*)$/) {
        $field{Index} = $1;
        $field{Sum} = $2 unless $2 eq '' || $2 eq '0';
    } else {
        $field{Index} = $run;
    }
}

$field{Offset} = "$1$2$3" if $text =~ s/\s*([+-])(\s*)($num)//;

# What is left names the argument: its last word.
$field{Arguments} = $1 if $text =~ s/\s*(?:(\S+)\s*)+//;

# A label in parentheses after the name.
$field{Label} = $1 if $field{Property} =~ s/\s*\((.+)\)//s;

print "$_:\t$field{$_}\n" for sort keys %field;
print ".";
